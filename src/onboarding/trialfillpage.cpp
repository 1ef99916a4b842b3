#include "onboarding/trialfillpage.h"

#include "mainwindow/symbolview.h"
#include "onboarding/themedlabel.h"
#include "onboarding/trialfield.h"
#include "pipeline/recordingresultstore.h"
#include "theme/fonts.h"
#include "theme/palette.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <cmath>

TrialFillPage::TrialFillPage(OnboardingStep step, const QColor& accent, const QString& icon, HotKeyCombo combo,
                             bool isDone, RecordingResultStore& results, bool withEcho, QWidget* parent)
    : TrialPageFrame(step, accent, icon, combo, isDone, parent), results_(results) {
  fieldLabel_ = addCardLabelRow(QStringLiteral("text.cursor"));
  field_ = new TrialField(accent);
  cardLayout()->addWidget(field_);

  if (withEcho) {
    echo_ = new QWidget;
    auto* line = new QHBoxLayout(echo_);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(6);
    line->addWidget(new SymbolView(QStringLiteral("checkmark.circle.fill"), 11, Palette::neonGreen), 0, Qt::AlignTop);
    echoText_ = ThemedLabel::make(rajdhaniMedium(12), Palette::neonGreen);
    echoText_->setWordWrap(true);
    // At most two lines of the text are shown.
    echoText_->setMaximumHeight(int(std::ceil(2 * QFontMetricsF(echoText_->font()).lineSpacing())));
    line->addWidget(echoText_, 1);
    cardLayout()->addWidget(echo_);
    connect(field_, &TrialField::textChanged, this, &TrialFillPage::showEcho);
    showEcho();
  }
}

QString TrialFillPage::fieldText() const { return field_->text(); }

void TrialFillPage::retranslateCard() {
  const FieldTexts texts = fieldTexts();
  fieldLabel_->setText(texts.label);
  field_->setPlaceholder(texts.placeholder);
}

void TrialFillPage::showEvent(QShowEvent* event) {
  TrialPageFrame::showEvent(event);
  if (subscription_) return;
  // A new subscriber first gets the result of the moment, then every new one.
  takeResult(results_.result());
  subscription_ = connect(&results_, &RecordingResultStore::resultChanged, this,
                          [this] { takeResult(results_.result()); });
}

void TrialFillPage::hideEvent(QHideEvent* event) {
  disconnect(subscription_);
  subscription_ = {};
  TrialPageFrame::hideEvent(event);
}

void TrialFillPage::takeResult(const QString& result) {
  // An empty result (a failure, a reset) leaves the field alone.
  if (result.isEmpty()) return;
  field_->setText(result);
}

void TrialFillPage::showEcho() {
  const QString text = field_->text();
  echoText_->setText(text);
  echo_->setVisible(!text.isEmpty());
}
