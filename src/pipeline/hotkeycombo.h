#pragma once

#include <QList>
#include <QString>

#include <optional>

// The three operations a hotkey can start. The raw value is also the
// operation name sent to the service and the name under which a hotkey is
// stored, so it never changes.
enum class HotKeyCombo { transcribe, rewrite, agent };

// Every combo, in the order transcribe, rewrite, agent.
const QList<HotKeyCombo>& allHotKeyCombos();

QString rawValue(HotKeyCombo combo);

// The combo of a raw value; nothing for any other text.
std::optional<HotKeyCombo> hotKeyComboFromRawValue(const QString& raw);
