#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

// A local page in a real browser of the desktop (Debian's chromium or
// firefox-esr, each with a profile of its own): one focused text area holding
// a text. The page keeps its window's title up to date with what the text
// area holds and with every Control chord it received, so that a test reads
// from outside what the user sees, and whether a key reached the page that a
// terminal in a web page would take for an interrupt.
class BrowserPage {
 public:
  enum class Browser { chromium, firefox };

  explicit BrowserPage(Browser browser) : browser_(browser) {}
  ~BrowserPage();

  // Starts the browser on the page and waits until the page shows `text`;
  // false when it did not in time.
  bool open(const QString& text);
  qint64 processId() const { return process_.processId(); }

  // What the text area holds, as the title says; nothing when the title
  // cannot be read.
  std::optional<QString> text() const;
  // The Control chords the text area received, oldest first ("C-c",
  // "C-S-v", "C-Insert").
  QStringList controlChords() const;

 private:
  struct Report {
    QString text;
    QStringList chords;
  };
  std::optional<Report> read() const;

  Browser browser_;
  QTemporaryDir folder_;
  QProcess process_;
};
