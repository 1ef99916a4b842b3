#pragma once

#include <QColor>
#include <QFont>
#include <QTextEdit>

// A short plain text that the user can select and copy, wrapped onto as many
// lines as its width needs, inside a word when the word alone is longer than
// a line (an e-mail address in a narrow popover), and exactly as tall as its
// lines. It has no frame, background or scroll bars of its own.
class WrappingText : public QTextEdit {
  Q_OBJECT

 public:
  WrappingText(const QFont& font, const QColor& color, Qt::Alignment alignment, QWidget* parent = nullptr);

  void setText(const QString& text);
  QString text() const { return toPlainText(); }

  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  // One line as wide as the text; any narrower width wraps.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
};
