#pragma once

#include "testenvironment.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <optional>

#include <gtest/gtest.h>

// Skips a test on a desktop without the editor; where the test desktop is
// required (scripts/test installs the editor) the test fails instead.
#define REQUIRE_GNOME_TEXT_EDITOR()                                                             \
  do {                                                                                          \
    if (!GnomeTextEditor::isInstalled()) {                                                      \
      if (TestEnvironment::desktopRequired()) FAIL() << "gnome-text-editor missing";            \
      GTEST_SKIP() << "needs gnome-text-editor (scripts/install-deps test)";                     \
    }                                                                                           \
  } while (false)

// GNOME Text Editor (GTK 4) on the test desktop, with one document open, as a
// user works with it: words selected and the document saved with the keyboard.
// GTK 4 answers some selection requests over the accessibility bus wrongly or
// not at all, which is what makes it worth testing against. Its settings and
// state stay in a private folder. The accessibility registry must be running
// before it starts (AtspiAccessibility::start()), or it never appears on the bus.
class GnomeTextEditor {
 public:
  GnomeTextEditor() = default;
  ~GnomeTextEditor();  // closes it without saving
  GnomeTextEditor(const GnomeTextEditor&) = delete;
  GnomeTextEditor& operator=(const GnomeTextEditor&) = delete;

  static bool isInstalled();

  // Opens a document holding `text`; false when the editor did not start.
  bool open(const QString& text, std::chrono::milliseconds timeout = std::chrono::seconds(20));
  qint64 processId() const { return process_.processId(); }

  // Selects `length` characters from `start` with the arrow keys (the editor
  // must be in front).
  static bool selectWithKeys(int start, int length);
  // Saves with Ctrl+S and gives the document as saved once the file differs
  // from what was opened; nothing when it did not change in time.
  std::optional<QString> saveAndRead(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // What the editor wrote to its standard error, for failure messages.
  QString errors() const;

 private:
  QString documentPath() const { return folder_.filePath(QStringLiteral("document.txt")); }

  QTemporaryDir folder_;
  QProcess process_;
  QString opened_;
};
