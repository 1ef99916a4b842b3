#pragma once

#include "platform/frontapplication.h"

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

// The desktop's general clipboard (X11: the CLIPBOARD selection), and beside
// it the X11 PRIMARY selection: the text highlighted last, which a middle
// click pastes and terminals of the xterm kind use for copy and paste.
//
// The program installs the real implementations at start-up (app/); tests
// install fakes. Until something is installed the clipboard is always empty
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

  // Whether a window of `app` holds the contents: one made by the same
  // client as its window, or one that belongs to its process.
  virtual bool isOwnedBy(const RunningApplication& app) = 0;

  // How many times other applications were given contents the program holds
  // (a paste reads them). A request for a format it does not hold is refused
  // and not counted. Counts from when the pasteboard was made.
  virtual qint64 timesRead() = 0;
  // The same for the reads of a window of `app` alone.
  virtual qint64 timesReadBy(const RunningApplication& app) {
    Q_UNUSED(app);
    return timesRead();
  }

  // How many times a window of `app` asked which formats the contents the
  // program holds come in, each asking answered by the time it is counted.
  // Some programs ask whenever the clipboard changes hands, and paste later
  // only what that answer allowed. Counts from when the pasteboard was made.
  virtual qint64 formatsAskedBy(const RunningApplication& app) {
    Q_UNUSED(app);
    return 0;
  }

  // The plain text of the first item.
  std::optional<QString> string() { return plainText(0); }

  // The general clipboard.
  static Pasteboard& current();
  // Installs `pasteboard` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(Pasteboard* pasteboard);

  // The PRIMARY selection, installed in the same way.
  static Pasteboard& primarySelection();
  static void installPrimarySelection(Pasteboard* selection);
};
