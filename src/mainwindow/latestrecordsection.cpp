#include "mainwindow/latestrecordsection.h"

#include "localization/appstrings.h"
#include "mainwindow/progressspinner.h"
#include "mainwindow/recordformat.h"
#include "mainwindow/symbolview.h"
#include "mainwindow/textlabel.h"
#include "overlays/markdownscrollview.h"
#include "theme/fonts.h"
#include "theme/gloweffect.h"
#include "theme/glowlabel.h"
#include "theme/neonbutton.h"
#include "theme/neoncard.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

LatestRecordSection::LatestRecordSection(QWidget* parent)
    : QWidget(parent),
      title_(new GlowLabel(QString(), Palette::neonCyan, 14, QFont::ExtraBold, this)),
      time_(new TextLabel(rajdhaniMedium(13), Palette::cyberTextTertiary, this)) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(16);
  auto* header = new QHBoxLayout;
  header->addWidget(title_);
  header->addStretch(1);
  header->addWidget(time_);
  column->addLayout(header);
  hide();
}

void LatestRecordSection::render(const std::optional<RecordingHistory>& record, bool force) {
  setVisible(record.has_value());
  if (!force && record == record_ && card_) return;
  record_ = record;
  title_->setText(currentStrings().sectionLatest);
  time_->setText(record_ ? RecordFormat::time(record_->createdAt) : QString());
  // Later, not now: the card's own retry button may be what led here.
  if (card_) {
    card_->hide();
    card_->deleteLater();
  }
  card_ = nullptr;
  retry_ = nullptr;
  markdown_ = nullptr;
  if (!record_) return;
  card_ = new NeonCard(Palette::cyberBorder, 4, this);
  static_cast<QVBoxLayout*>(layout())->addWidget(card_);
  fillCard();
  card_->show();
}

void LatestRecordSection::fillCard() {
  const AppStrings& strings = currentStrings();
  auto* column = new QVBoxLayout(card_);
  column->setContentsMargins(24, 24, 24, 24);
  column->setSpacing(14);
  const RecordingHistory& record = *record_;

  switch (record.status) {
    case RecognitionStatus::pending:
    case RecognitionStatus::processing: {
      auto* line = new QHBoxLayout;
      line->setSpacing(12);
      line->addWidget(new ProgressSpinner(Palette::neonCyan, 16, card_));
      auto* text = new TextLabel(rajdhaniMedium(15), Palette::cyberTextSecondary, card_);
      text->setText(strings.recognizing);
      line->addWidget(text, 1);
      column->addLayout(line);
      break;
    }
    case RecognitionStatus::success:
      if (RecordFormat::isPresent(record.transcript)) {
        addTextBlock(strings.labelTranscript, Palette::withOpacity(Palette::neonGreen, 0.6), *record.transcript, 15,
                     Palette::cyberTextSecondary, false);
      }
      if (RecordFormat::isPresent(record.result)) {
        if (RecordFormat::isMarkdown(record)) {
          auto* block = new QVBoxLayout;
          block->setSpacing(6);
          block->addWidget(new GlowLabel(strings.labelResult, Palette::withOpacity(Palette::neonCyan, 0.6), 12,
                                         QFont::ExtraBold, card_),
                           0, Qt::AlignLeft);
          markdown_ = new MarkdownScrollView(*record.result, 200, card_);
          markdown_->setFixedHeight(200);
          block->addWidget(markdown_);
          column->addLayout(block);
        } else {
          addTextBlock(strings.labelResult, Palette::withOpacity(Palette::neonCyan, 0.6), *record.result, 16,
                       Palette::cyberTextPrimary, true);
        }
      }
      break;
    case RecognitionStatus::failed: {
      auto* line = new QWidget(card_);
      auto* row = new QHBoxLayout(line);
      row->setContentsMargins(0, 0, 0, 0);
      row->setSpacing(10);
      row->addWidget(new SymbolView(QStringLiteral("exclamationmark.triangle.fill"), 14, Palette::neonRed, line));
      auto* text = new TextLabel(rajdhaniMedium(15), Palette::neonRed, line);
      text->setText(strings.recognizeFailed);
      row->addWidget(text, 1);
      line->setGraphicsEffect(new GlowEffect(Glow{Palette::withOpacity(Palette::neonRed, 0.3), 3}, line));
      column->addWidget(line);
      if (RecordFormat::hasAudioFile(record)) {
        retry_ = new NeonButton(strings.retry, Palette::neonOrange, card_);
        retry_->setLeadingSymbol(QStringLiteral("arrow.clockwise"), 11);
        retry_->setLabelFont(rajdhaniSemiBold(12));
        retry_->setSpacing(6);
        const RecordingHistory copy = record;
        connect(retry_, &QAbstractButton::clicked, this, [this, copy] { Q_EMIT retryRequested(copy); });
        column->addWidget(retry_, 0, Qt::AlignLeft);
      }
      break;
    }
  }
}

void LatestRecordSection::addTextBlock(const QString& title, const QColor& titleColor, const QString& text, qreal size,
                                       const QColor& color, bool selectable) {
  auto* block = new QVBoxLayout;
  block->setSpacing(6);
  block->addWidget(new GlowLabel(title, titleColor, 12, QFont::ExtraBold, card_), 0, Qt::AlignLeft);
  auto* body = new TextLabel(rajdhaniMedium(size), color, card_);
  body->setWordWrap(true);
  body->setText(text);
  body->setSelectable(selectable);
  block->addWidget(body);
  static_cast<QVBoxLayout*>(card_->layout())->addLayout(block);
}
