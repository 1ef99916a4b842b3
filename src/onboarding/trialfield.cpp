#include "onboarding/trialfield.h"

#include "onboarding/roundedplate.h"
#include "onboarding/themedtextarea.h"
#include "theme/palette.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kPadding = 12;
constexpr int kMinimumEditorHeight = 80;
}  // namespace

TrialField::TrialField(const QColor& accent, QWidget* parent) : QWidget(parent), accent_(accent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
  editor_ = new QPlainTextEdit;
  styleTextArea(editor_, accent);
  QPalette colours = editor_->palette();
  colours.setColor(QPalette::PlaceholderText, Palette::withOpacity(Palette::cyberTextTertiary, 0.5));
  editor_->setPalette(colours);
  editor_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  editor_->installEventFilter(this);
  layout->addWidget(editor_);

  connect(editor_, &QPlainTextEdit::textChanged, this, [this] {
    fitHeight();
    Q_EMIT textChanged();
  });
  // The editor grows with its text instead of scrolling inside the page.
  connect(editor_->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
          &TrialField::fitHeight);
  fitHeight();
}

QString TrialField::text() const { return editor_->toPlainText(); }

void TrialField::setText(const QString& text) { editor_->setPlainText(text); }

void TrialField::setPlaceholder(const QString& placeholder) { editor_->setPlaceholderText(placeholder); }

bool TrialField::isFocused() const { return editor_->hasFocus(); }

void TrialField::fitHeight() {
  // A plain text document measures its height in lines.
  const QFontMetricsF metrics(editor_->font());
  const qreal lines = editor_->document()->documentLayout()->documentSize().height();
  const qreal margins = 2 * editor_->document()->documentMargin() + 2 * editor_->frameWidth();
  const int height = int(std::ceil(lines * metrics.lineSpacing() + margins));
  editor_->setFixedHeight(std::max(kMinimumEditorHeight, height));
}

void TrialField::mousePressEvent(QMouseEvent* event) {
  editor_->setFocus(Qt::MouseFocusReason);
  event->accept();
}

bool TrialField::eventFilter(QObject* watched, QEvent* event) {
  if (watched == editor_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) update();
  return QWidget::eventFilter(watched, event);
}

void TrialField::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QColor outline = isFocused() ? Palette::withOpacity(accent_, 0.5) : Palette::cyberBorder;
  paintRoundedPlate(painter, QRectF(rect()), 8, Palette::withOpacity(accent_, 0.04), outline, 1);
}
