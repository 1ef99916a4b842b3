#pragma once

#include "overlays/overlaycontentview.h"

#include <QString>

// The clarifying-question card: a yellow question-mark badge, the title and
// the service's question (at most four lines), or a stock line when the
// question is empty. The card is as high as its content, centred in the panel.
class ClarifyOverlayView : public OverlayContentView {
  Q_OBJECT

 public:
  explicit ClarifyOverlayView(const QString& question, QWidget* parent = nullptr);

  QString question() const { return question_; }
  // The question, or the fallback text of the current language when empty.
  QString shownText() const;
  // The card's height for the view's width.
  qreal cardHeight() const;
  // The card, centred in the view.
  QRectF cardBounds() const;

  QPainterPath outline() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString question_;
};
