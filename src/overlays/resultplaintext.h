#pragma once

#include "overlays/wrappedtext.h"

#include <QWidget>

// A plain result: running text wrapped to the panel's width, as high as it
// needs (a panel too low for it cuts it off at the bottom).
class ResultPlainText : public QWidget {
  Q_OBJECT

 public:
  explicit ResultPlainText(QWidget* parent = nullptr);

  void setText(const QString& text);
  QString text() const { return text_; }

  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return QSize(0, 0); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Made at each use: the face's fallbacks follow the interface language.
  WrappedText wrapped() const;

  QString text_;
};
