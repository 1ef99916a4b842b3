#pragma once

#include <QTextBrowser>

// The read-only rich text of rendered markdown: selectable, transparent, with
// a slim scroll bar that appears only when the text is taller than the view.
// A click on a link does not navigate: it goes to openLink(), which hands only
// web and mail addresses to the desktop.
class MarkdownTextView : public QTextBrowser {
  Q_OBJECT

 public:
  explicit MarkdownTextView(QWidget* parent = nullptr);

  // Sets the room around the text (12 left and right, 10 above and below);
  // called again after every new rendering, which replaces the frame.
  void applyInsets();

  // Opens a clicked link when it is an http, https or mailto address; anything
  // else (files, scripts, custom schemes, relative addresses) is refused,
  // since answers come from outside. A mail address goes on with no query
  // field but its subject and body. True when the address was handed on.
  static bool openLink(const QUrl& url);
};
