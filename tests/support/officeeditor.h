#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <optional>

// A big editor of the Linux desktop on the test desktop, started as a user
// starts it on one document (a private folder, a fresh profile): LibreOffice
// Writer through its GTK 3 front end, or Kate (Qt 5). Both are slow to start.
// It runs in a process group of its own, killed whole with this object:
// LibreOffice's window belongs to a process its launcher started.
class OfficeEditor {
 public:
  enum class Kind { libreOfficeWriter, kate };

  explicit OfficeEditor(Kind kind) : kind_(kind) {}
  ~OfficeEditor();  // kills it, without saving
  OfficeEditor(const OfficeEditor&) = delete;
  OfficeEditor& operator=(const OfficeEditor&) = delete;

  // Opens a document holding `text` and waits until the editor is in front
  // with the document shown; false when it did not come up in time.
  bool open(const QString& text);
  // The document as the editor shows it, read over AT-SPI as a screen reader
  // reads it: its text (lines joined by "\n") and its selection as
  // "<start>-<end>" within its line (empty without one); nothing when it
  // cannot be read.
  struct Shown {
    QString text;
    QString selection;
  };
  std::optional<Shown> shown() const;
  std::optional<QString> documentText() const;

 private:
  QString documentPath() const { return folder_.filePath(QStringLiteral("document.txt")); }
  bool start();

  Kind kind_;
  QTemporaryDir folder_;
  QProcess process_;
  // The process that shows the window and answers on the accessibility bus.
  qint64 applicationPid_ = 0;
};
