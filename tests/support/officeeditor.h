#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <optional>

// A big editor of the Linux desktop on the test desktop, started as a user
// starts it on one document (a private folder, a fresh profile): LibreOffice
// Writer or Calc through their GTK 3 front end, or Kate or KWrite (Qt 5, the
// same KTextEditor part). All are slow
// to start. Calc starts on a new spreadsheet with its first cell in edit
// mode (F2), the document being what that cell holds.
// It runs in a process group of its own, killed whole with this object:
// LibreOffice's window belongs to a process its launcher started.
class OfficeEditor {
 public:
  enum class Kind { libreOfficeWriter, libreOfficeCalc, kate, kwrite };

  explicit OfficeEditor(Kind kind) : kind_(kind) {}
  ~OfficeEditor();  // kills it, without saving
  OfficeEditor(const OfficeEditor&) = delete;
  OfficeEditor& operator=(const OfficeEditor&) = delete;

  // Opens a document holding `text` and waits until the editor is in front
  // with the document shown; false when it did not come up in time. (Calc:
  // types `text` into its first cell, left in edit mode.)
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
  // The process that shows the window (LibreOffice's is not the one started).
  qint64 applicationPid() const { return applicationPid_; }

 private:
  QString documentPath() const { return folder_.filePath(QStringLiteral("document.txt")); }
  bool start();

  Kind kind_;
  QTemporaryDir folder_;
  QProcess process_;
  // The process that shows the window and answers on the accessibility bus.
  qint64 applicationPid_ = 0;
};
