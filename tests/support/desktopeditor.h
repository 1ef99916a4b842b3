#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <optional>

// A real text editor of the desktop (a Debian package) with one document
// open, started as a fresh user starts it; the test reads the document back
// by saving it, as the user would. GTK 4 (GNOME Text Editor) answers some
// selection requests over the accessibility bus wrongly or not at all; the
// accessibility registry must run before it starts, or it never appears on
// the bus. Emacs (emacs -Q) shows no text to accessibility at all, nor do
// gvim and xedit (Xaw), whose selection is PRIMARY alone. Emacs and gvim are
// read through their own servers, with no key typed: a key would end a
// selection there, or switch gvim's mode.
class DesktopEditor {
 public:
  enum class Program {
    gnomeTextEditor,  // GTK 4
    mousepad,         // GTK 3
    featherpad,       // Qt 5
    emacs,            // its own text on GTK 3
    gvim,             // Debian's vim-gtk3
    xedit,            // the Athena (Xaw) text widget
    nedit,            // Motif: offers its selections as STRING alone, no accessibility
    abiword,          // GTK 3: its UTF8_STRING ends in a NUL
  };

  explicit DesktopEditor(Program program) : program_(program) {}
  ~DesktopEditor();  // closes it without saving

  // Opens a document holding `text` (and a line break after it, unless the
  // text is empty); false when the editor did not start.
  bool open(const QString& text);
  qint64 processId() const { return process_.processId(); }
  Program program() const { return program_; }

  // Saves the document; the document once the file differs from what was
  // opened, nothing when it did not change in time.
  std::optional<QString> saveAndRead();

  // Emacs: the value of a Lisp expression, printed (emacsclient). gvim: the
  // value of a Vim expression (--remote-expr). Nothing when it did not answer.
  std::optional<QString> evaluate(const QString& expression);

 private:
  QString serverName() const;
  QString documentPath() const { return folder_.filePath(QStringLiteral("document.txt")); }

  Program program_;
  QTemporaryDir folder_;
  QProcess process_;
  QString opened_;
};
