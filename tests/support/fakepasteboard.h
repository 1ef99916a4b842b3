#pragma once

#include "platform/pasteboard.h"

#include <QHash>
#include <QSet>

#include <functional>

// A clipboard of several items in memory; installed for its lifetime, as the
// clipboard or as the PRIMARY selection. Formats named in `unreadable` offer
// no data. Plain text is the "text/plain" format.
class FakePasteboard final : public Pasteboard {
 public:
  enum class Slot { clipboard, primarySelection };

  explicit FakePasteboard(Slot slot = Slot::clipboard);
  ~FakePasteboard() override;

  static PasteboardItem textItem(const QString& text);

  qint64 changeCount() override { return count; }
  QList<PasteboardItem> items() override;
  int itemCount() override { return int(contents.size()); }
  std::optional<QString> plainText(int item) override;
  void clearContents() override;
  void writeItem(const PasteboardItem& item) override;
  void setString(const QString& text) override;
  bool isOwnedBy(const RunningApplication& app) override { return ownerPid == app.pid; }
  qint64 timesRead() override { return reads; }
  qint64 formatsAskedBy(const RunningApplication& app) override { return formatsAsked.value(app.pid); }

  // What a copy in another application does: replaces the contents.
  void copy(const QList<PasteboardItem>& items);

  QList<PasteboardItem> contents;
  std::optional<qint32> ownerPid;  // the process of the application holding it; none by default
  QSet<QString> unreadable;
  qint64 count = 1;
  int writes = 0;  // clears and writes of the program
  qint64 reads = 0;  // by other applications
  QHash<qint32, qint64> formatsAsked;  // by process: which formats the program's contents come in
  std::function<void()> onWrite;  // after each clear and write of the program

 private:
  Slot slot_;
  void write(const QList<PasteboardItem>& items);
};
