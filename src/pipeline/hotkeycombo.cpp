#include "pipeline/hotkeycombo.h"

const QList<HotKeyCombo>& allHotKeyCombos() {
  static const QList<HotKeyCombo> combos{HotKeyCombo::transcribe, HotKeyCombo::rewrite, HotKeyCombo::agent};
  return combos;
}

QString rawValue(HotKeyCombo combo) {
  switch (combo) {
    case HotKeyCombo::transcribe:
      return QStringLiteral("transcribe");
    case HotKeyCombo::rewrite:
      return QStringLiteral("rewrite");
    case HotKeyCombo::agent:
      return QStringLiteral("agent");
  }
  return {};
}

std::optional<HotKeyCombo> hotKeyComboFromRawValue(const QString& raw) {
  for (HotKeyCombo combo : allHotKeyCombos()) {
    if (rawValue(combo) == raw) return combo;
  }
  return std::nullopt;
}
