#include "pipeline/clipboardhistory.h"

#include "core/userdefaults.h"
#include "platform/pasteboard.h"

#include <algorithm>

QStringList readClipboardHistory(int limit) {
  if (!UserDefaults::shared().boolean(clipboardAccessEnabledKey).value_or(false)) return {};
  Pasteboard& pasteboard = Pasteboard::current();
  const int looked = std::min(std::max(limit, 0), pasteboard.itemCount());
  QStringList texts;
  for (int item = 0; item < looked; ++item) {
    const std::optional<QString> text = pasteboard.plainText(item);
    if (!text || text->trimmed().isEmpty()) continue;
    texts.append(*text);
  }
  return texts;
}
