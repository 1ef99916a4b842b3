#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <utility>

// One entry of the clipboard: every format it offers, in order, with its data.
struct PasteboardItem {
  QList<std::pair<QString, QByteArray>> formats;

  friend bool operator==(const PasteboardItem&, const PasteboardItem&) = default;
};

// The desktop's general clipboard (X11: the CLIPBOARD selection).
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed the clipboard is always empty
// and writes go nowhere.
class Pasteboard {
 public:
  virtual ~Pasteboard() = default;

  // A number that moves whenever the clipboard changes hands or contents
  // (also for our own writes), even while the main thread is blocked.
  virtual qint64 changeCount() = 0;

  // The items with the data of each of their formats; a format whose data
  // cannot be read is left out, and so is an item with no readable format.
  virtual QList<PasteboardItem> items() = 0;

  // How many items the clipboard holds, and the UTF-8 plain text of one of
  // them (nothing when it has no text format).
  virtual int itemCount() = 0;
  virtual std::optional<QString> plainText(int item) = 0;

  // Empties the clipboard.
  virtual void clearContents() = 0;
  // Adds one item after the present ones. (An X11 clipboard holds a single
  // item: a write replaces what it held.)
  virtual void writeItem(const PasteboardItem& item) = 0;
  // Puts `text` on the clipboard as its plain text.
  virtual void setString(const QString& text) = 0;

  // The plain text of the first item.
  std::optional<QString> string() { return plainText(0); }

  static Pasteboard& current();
  // Installs `pasteboard` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(Pasteboard* pasteboard);
};
