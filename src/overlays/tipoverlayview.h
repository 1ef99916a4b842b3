#pragma once

#include "overlays/overlaycontentview.h"

#include <QString>

class OverlayCloseButton;

// The tip notice, 320 x 56: an info symbol and the message (at most two
// lines, shown as given: callers pass finished, localized text), with a small
// close button in the corner.
class TipOverlayView : public OverlayContentView {
  Q_OBJECT

 public:
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 56;

  explicit TipOverlayView(const QString& message, QWidget* parent = nullptr);

  QString message() const { return message_; }
  OverlayCloseButton* closeButton() const { return closeButton_; }
  // The message's lines as shown.
  QStringList shownLines() const;

  QPainterPath outline() const override;

 Q_SIGNALS:
  void closeRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString message_;
  OverlayCloseButton* closeButton_;
};
