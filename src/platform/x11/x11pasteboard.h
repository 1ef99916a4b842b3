#pragma once

#include "platform/pasteboard.h"

#include <QByteArray>

#include <memory>

class QSocketNotifier;
struct _XDisplay;

// The X11 CLIPBOARD selection. Contents are written and saved through
// QClipboard, which serves them to other applications from the event loop.
//
// A private connection watches the selection owner (XFixes) for the change
// count, so the count moves even while the main thread waits for an
// application to copy; and it reads the plain text of a clipboard that another
// application owns by itself, because Qt's view of a foreign clipboard is only
// brought up to date by the event loop.
//
// Qt sets itself as the owner with the time of the last event it handled,
// which is older than the copy another application made a moment ago (the
// server then ignores the request): the program's writes and clears claim the
// clipboard at the current server time first.
class X11Pasteboard final : public Pasteboard {
 public:
  explicit X11Pasteboard(QByteArray displayName = {});
  ~X11Pasteboard() override;
  X11Pasteboard(const X11Pasteboard&) = delete;
  X11Pasteboard& operator=(const X11Pasteboard&) = delete;

  qint64 changeCount() override;
  QList<PasteboardItem> items() override;
  int itemCount() override;
  std::optional<QString> plainText(int item) override;
  void clearContents() override;
  void writeItem(const PasteboardItem& item) override;
  void setString(const QString& text) override;

 private:
  bool connect();
  void drainEvents();
  unsigned long owner();
  bool ownedByThisProcess(unsigned long owner);
  unsigned long qtSelectionOwner();
  void claimForQt();
  void release();
  std::optional<QByteArray> convert(const char* target);

  QByteArray displayName_;
  _XDisplay* display_ = nullptr;
  unsigned long requestor_ = 0;
  unsigned long qtOwner_ = 0;
  int fixesEventBase_ = 0;
  qint64 ownerChanges_ = 0;
  std::unique_ptr<QSocketNotifier> notifier_;
};
