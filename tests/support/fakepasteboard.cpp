#include "fakepasteboard.h"

FakePasteboard::FakePasteboard(Slot slot) : slot_(slot) {
  if (slot_ == Slot::clipboard) Pasteboard::install(this);
  else Pasteboard::installPrimarySelection(this);
}

FakePasteboard::~FakePasteboard() {
  if (slot_ == Slot::clipboard) Pasteboard::install(nullptr);
  else Pasteboard::installPrimarySelection(nullptr);
}

PasteboardItem FakePasteboard::textItem(const QString& text) {
  return PasteboardItem{{{QStringLiteral("text/plain"), text.toUtf8()}}};
}

QList<PasteboardItem> FakePasteboard::items() {
  QList<PasteboardItem> readable;
  for (const PasteboardItem& item : contents) {
    PasteboardItem copy;
    for (const auto& format : item.formats)
      if (!unreadable.contains(format.first)) copy.formats.append(format);
    readable.append(copy);
  }
  return readable;
}

std::optional<QString> FakePasteboard::plainText(int item) {
  for (const auto& [format, bytes] : contents.value(item).formats)
    if (format == QStringLiteral("text/plain")) return QString::fromUtf8(bytes);
  return std::nullopt;
}

void FakePasteboard::clearContents() { write({}); }
void FakePasteboard::writeItem(const PasteboardItem& item) { write(contents + QList{item}); }
void FakePasteboard::setString(const QString& text) { writeItem(textItem(text)); }

void FakePasteboard::write(const QList<PasteboardItem>& items) {
  copy(items);
  ++writes;
  if (onWrite) onWrite();
}

void FakePasteboard::copy(const QList<PasteboardItem>& items) {
  contents = items;
  ++count;
}
