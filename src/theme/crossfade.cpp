#include "theme/crossfade.h"

#include <QEvent>
#include <QPainter>

namespace {
const char* const kObjectName = "crossFade";
}

CrossFade* CrossFade::running(const QWidget* view) {
  return view ? view->findChild<CrossFade*>(QString::fromLatin1(kObjectName), Qt::FindDirectChildrenOnly) : nullptr;
}

CrossFade* CrossFade::start(QWidget* view, int durationMs, const QEasingCurve& curve) {
  if (!view || !view->isVisible() || view->size().isEmpty()) return nullptr;
  // The picture includes a fade still running, so a new one starts from what
  // the user sees now; the old one is then no longer needed.
  const QPixmap before = view->grab();
  delete running(view);
  return new CrossFade(view, before, durationMs, curve);
}

CrossFade::CrossFade(QWidget* view, const QPixmap& before, int durationMs, const QEasingCurve& curve)
    : QWidget(view), before_(before) {
  setObjectName(QString::fromLatin1(kObjectName));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_TranslucentBackground);
  setFocusPolicy(Qt::NoFocus);
  setGeometry(view->rect());
  view->installEventFilter(this);

  fade_.setParent(this);
  fade_.setDuration(durationMs);
  fade_.setEasingCurve(curve);
  fade_.setStartValue(1.0);
  fade_.setEndValue(0.0);
  connect(&fade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
    opacity_ = value.toReal();
    update();
  });
  connect(&fade_, &QVariantAnimation::finished, this, &QObject::deleteLater);
  raise();
  show();
  fade_.start();
}

void CrossFade::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setOpacity(opacity_);
  painter.drawPixmap(0, 0, before_);
}

bool CrossFade::eventFilter(QObject* watched, QEvent* event) {
  // The view changed size or went away: the old picture no longer fits.
  if (watched == parent() && (event->type() == QEvent::Resize || event->type() == QEvent::Hide)) {
    fade_.stop();
    hide();
    deleteLater();
  }
  // A child the view raises later would cover the picture; stay on top.
  if (watched == parent() && event->type() == QEvent::ChildAdded) raise();
  return false;
}
