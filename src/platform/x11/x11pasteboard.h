#pragma once

#include "platform/pasteboard.h"

#include <QByteArray>
#include <QMetaObject>

#include <chrono>
#include <memory>
#include <optional>

class QSocketNotifier;
struct _XDisplay;
union _XEvent;

// An X11 selection: CLIPBOARD, or PRIMARY. Contents are written and saved
// through QClipboard, which serves them to other applications from the event
// loop; the requests it answers with contents are counted on the way
// (timesRead), and those for a format it lacks are refused at once.
//
// A private connection watches the selection owner (XFixes) for the change
// count, so the count moves even while the main thread waits for an
// application to copy; and it reads the plain text of a selection that another
// application owns by itself, because Qt's view of a foreign selection is
// only brought up to date by the event loop.
//
// Qt sets itself as the owner with the time of the last event it handled,
// which is older than the copy another application made a moment ago (the
// server then ignores the request): the program's writes and clears claim the
// selection at the current server time first. For the same reason Qt would
// read a SelectionClear that came while the main thread waited as lost
// ownership of what was written after it: such a stale clear never reaches Qt.
class X11Pasteboard final : public Pasteboard {
 public:
  enum class Selection { clipboard, primary };

  explicit X11Pasteboard(Selection selection = Selection::clipboard, QByteArray displayName = {});
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
  bool isOwnedBy(const RunningApplication& app) override;
  qint64 timesRead() override;
  qint64 timesReadBy(const RunningApplication& app) override;
  qint64 formatsAskedBy(const RunningApplication& app) override;

  // A property as it was read: its type and bytes.
  struct PropertyData {
    unsigned long type = 0;
    QByteArray bytes;
  };

 private:
  // What a request for a selection brought: the data, or nothing when the
  // owner refused or (timedOut) did not answer in time.
  struct Conversion {
    std::optional<PropertyData> data;
    bool timedOut = false;
  };
  class QtSelectionFilter;

  bool connect();
  void drainEvents();
  void noteOwnerChange(const _XEvent& event);
  unsigned long owner();
  bool ownedByThisProcess(unsigned long owner);
  unsigned long qtSelectionOwner();
  void claimForQt();
  void release();
  std::optional<QString> foreignText();
  std::optional<QString> decodeText(const PropertyData& data);
  Conversion convert(unsigned long target, std::chrono::steady_clock::time_point deadline);
  unsigned long selectionAtom();

  Selection selection_;
  QByteArray displayName_;
  _XDisplay* display_ = nullptr;
  unsigned long requestor_ = 0;
  unsigned long qtOwner_ = 0;
  int fixesEventBase_ = 0;
  qint64 ownerChanges_ = 0;
  std::unique_ptr<QSocketNotifier> notifier_;
  // Opens the connection (and the filter) once Qt takes the selection itself.
  QMetaObject::Connection qtTookSelection_;
  std::unique_ptr<QtSelectionFilter> qtEvents_;
};
