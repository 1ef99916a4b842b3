// Clipboard context: only with the user's consent, item by item.
#include "pipeline/clipboardhistory.h"

#include "core/userdefaults.h"
#include "fakepasteboard.h"

#include <gtest/gtest.h>

namespace {

PasteboardItem image() { return PasteboardItem{{{QStringLiteral("image/png"), QByteArray("\x89PNG", 4)}}}; }

TEST(ClipboardHistory, IsEmptyWhileAccessIsOffOrNeverSet) {
  FakePasteboard pasteboard;
  pasteboard.copy({FakePasteboard::textItem(QStringLiteral("secret"))});
  EXPECT_TRUE(readClipboardHistory(5).isEmpty());  // never set
  UserDefaults::shared().setBoolean(clipboardAccessEnabledKey, false);
  EXPECT_TRUE(readClipboardHistory(5).isEmpty());
  UserDefaults::shared().setText(clipboardAccessEnabledKey, QStringLiteral("yes"));  // not a Boolean
  EXPECT_TRUE(readClipboardHistory(5).isEmpty());
}

TEST(ClipboardHistory, ReadsTheFirstItemsTextsUntrimmed) {
  UserDefaults::shared().setBoolean(clipboardAccessEnabledKey, true);
  FakePasteboard pasteboard;
  const auto texts = [](const QStringList& list) {
    QList<PasteboardItem> items;
    for (const QString& text : list) items.append(FakePasteboard::textItem(text));
    return items;
  };
  struct Case {
    const char* name;
    QList<PasteboardItem> items;
    int limit;
    QStringList expected;
  };
  const std::vector<Case> cases = {
      {"an empty clipboard", {}, 5, {}},
      {"blanks and a line break are kept", texts({"  hello\n"}), 5, {"  hello\n"}},
      {"six texts: the first five", texts({"1", "2", "3", "4", "5", "6"}), 5, {"1", "2", "3", "4", "5"}},
      {"an image uses up the only place", {image(), FakePasteboard::textItem("text")}, 1, {}},
      {"blank items are skipped but counted", texts({" \n\t", "a", "b"}), 2, {"a"}},
      {"a limit of 0", texts({"a"}), 0, {}},
      {"a negative limit reads nothing", texts({"a"}), -3, {}},
  };
  for (const Case& c : cases) {
    pasteboard.copy(c.items);
    EXPECT_EQ(readClipboardHistory(c.limit), c.expected) << c.name;
  }
}

TEST(ClipboardHistory, ReadsTheSwitchAtEveryCall) {
  FakePasteboard pasteboard;
  pasteboard.copy({FakePasteboard::textItem(QStringLiteral("a"))});
  UserDefaults::shared().setBoolean(clipboardAccessEnabledKey, true);
  EXPECT_EQ(readClipboardHistory(5), QStringList{"a"});
  UserDefaults::shared().setBoolean(clipboardAccessEnabledKey, false);
  EXPECT_TRUE(readClipboardHistory(5).isEmpty());
}

}  // namespace
