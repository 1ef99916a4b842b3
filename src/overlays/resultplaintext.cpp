#include "overlays/resultplaintext.h"

#include "theme/fonts.h"
#include "theme/palette.h"

#include <QPainter>
#include <QtMath>

ResultPlainText::ResultPlainText(QWidget* parent) : QWidget(parent) {
  QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
}

WrappedText ResultPlainText::wrapped() const { return WrappedText{text_, rajdhaniMedium(13), 0, 3}; }

void ResultPlainText::setText(const QString& text) {
  text_ = text;
  updateGeometry();
  update();
}

int ResultPlainText::heightForWidth(int width) const { return qCeil(wrapped().size(width).height()); }

QSize ResultPlainText::sizeHint() const { return QSize(width(), heightForWidth(width())); }

void ResultPlainText::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  wrapped().paint(painter, QRectF(rect()), Palette::cyberTextPrimary);
}
