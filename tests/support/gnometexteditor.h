#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <optional>

// GNOME Text Editor (GTK 4) on the test desktop with one document open, as a
// fresh user. GTK 4 answers some selection
// requests over the accessibility bus wrongly or not at all. The accessibility
// registry must run before it starts, or it never appears on the bus.
class GnomeTextEditor {
 public:
  ~GnomeTextEditor();  // closes it without saving

  // Opens a document holding `text`; false when the editor did not start.
  bool open(const QString& text);
  qint64 processId() const { return process_.processId(); }

  // Selects `length` characters from `start` with the arrow keys (the editor
  // must be in front).
  static bool selectWithKeys(int start, int length);
  // Saves with Ctrl+S; the document once the file differs from what was
  // opened, nothing when it did not change in time.
  std::optional<QString> saveAndRead();

 private:
  QString documentPath() const { return folder_.filePath(QStringLiteral("document.txt")); }

  QTemporaryDir folder_;
  QProcess process_;
  QString opened_;
};
