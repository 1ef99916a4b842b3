#include "mainwindow/historycard.h"

#include "core/clock.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/confirmationdialog.h"
#include "mainwindow/historycardlook.h"
#include "mainwindow/outlinebutton.h"
#include "mainwindow/plainbutton.h"
#include "mainwindow/progressspinner.h"
#include "mainwindow/recordformat.h"
#include "mainwindow/recordretry.h"
#include "mainwindow/symbolbutton.h"
#include "mainwindow/symbollabel.h"
#include "mainwindow/symbolview.h"
#include "mainwindow/textbox.h"
#include "mainwindow/textlabel.h"
#include "overlays/markdownscrollview.h"
#include "overlays/resultoverlaywindowcontroller.h"
#include "pipeline/historystore.h"
#include "platform/pasteboard.h"
#include "theme/cyberdividerline.h"
#include "theme/fonts.h"
#include "theme/glowlabel.h"
#include "theme/palette.h"

#include <limits>

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QResizeEvent>
#include <QTextLayout>
#include <QTimer>
#include <QVBoxLayout>

namespace {

using namespace HistoryCardLook;

constexpr int kSummaryLines = 3;

QHBoxLayout* rowLayout(QWidget* owner, int spacing, const QMargins& margins = QMargins()) {
  auto* row = new QHBoxLayout(owner);
  row->setContentsMargins(margins);
  row->setSpacing(spacing);
  return row;
}

// A word-wrapped answer shown in at most `lines` lines at the label's width:
// a longer one ends its last line with an ellipsis, so it never reads as
// if it ended there.
class ClampedLabel : public TextLabel {
 public:
  ClampedLabel(const QFont& font, const QColor& color, const QString& text, int lines, QWidget* parent)
      : TextLabel(font, color, parent), full_(text), lines_(lines) {
    setWordWrap(true);
    setText(text);
  }
  const QString& fullText() const { return full_; }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    TextLabel::resizeEvent(event);
    const QString shown = clamped(contentsRect().width());
    if (shown != text()) setText(shown);
  }

 private:
  QString clamped(int width) const {
    if (width <= 0) return full_;
    QString flowing = full_;
    flowing.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(flowing, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList kept;
    bool more = false;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(width);
      if (kept.size() == lines_) {
        more = true;
        break;
      }
      QString part = flowing.mid(line.textStart(), line.textLength());
      part.remove(QChar::LineSeparator);
      kept.append(part);
    }
    layout.endLayout();
    if (!more) return full_;
    const QFontMetrics metrics(font());
    const QString ellipsis = QStringLiteral("…");
    QString last = kept.last().trimmed();
    while (!last.isEmpty() && metrics.horizontalAdvance(last + ellipsis) > width) last.chop(1);
    kept.last() = last + ellipsis;
    return kept.join(QLatin1Char('\n'));
  }

  QString full_;
  int lines_;
};

void discard(QWidget* widget) {
  if (!widget) return;
  // Later, not now: one of its buttons may be what asked for the change.
  widget->hide();
  widget->deleteLater();
}

}  // namespace

HistoryCard::HistoryCard(const RecordingHistory& record, QWidget* parent)
    : NeonCard(Palette::withOpacity(statusColor(record.status), 0.3), 4, parent),
      record_(record),
      height_(new EasedValue(0, 200, QEasingCurve::InOutQuad, this)) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
  column_ = new QVBoxLayout(this);
  column_->setContentsMargins(0, 0, 0, 0);
  column_->setSpacing(0);
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &HistoryCard::render);
  connect(height_, &EasedValue::changed, this, [this](const QVariant& value) {
    if (height_->isRunning()) {
      setFixedHeight(value.toInt());
    } else {
      setMinimumHeight(0);
      setMaximumHeight(QWIDGETSIZE_MAX);
    }
  });
  render();
}

HistoryCard::~HistoryCard() { delete deleteDialog_.data(); }

void HistoryCard::setRecord(const RecordingHistory& record) {
  if (record == record_) return;
  record_ = record;
  setNeon(Palette::withOpacity(statusColor(record.status), 0.3), 4);
  render();
}

void HistoryCard::render() {
  expand_ = nullptr;
  summary_ = nullptr;
  transcriptCopy_ = resultCopy_ = retry_ = deleteAudio_ = delete_ = nullptr;
  floating_ = nullptr;
  markdown_ = nullptr;

  auto* content = new QWidget(this);
  auto* column = new QVBoxLayout(content);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(makeMetaRow(content));
  auto* divider = new QVBoxLayout;
  divider->setContentsMargins(0, 8, 0, 8);
  divider->addWidget(new CyberDividerLine(Palette::cyberSeparator, content));
  column->addLayout(divider);
  column->addWidget(makeBody(content));
  if (record_.status == RecognitionStatus::success || record_.status == RecognitionStatus::failed) {
    column->addWidget(new CyberDividerLine(Palette::cyberSeparator, content));
    column->addWidget(makeActionRow(content));
  }

  discard(content_);
  content_ = content;
  column_->addWidget(content_);
  // Laid out at the card's width from the start, not first at a new widget's
  // small default size (its texts would wrap into dozens of lines for
  // nothing). A card not on screen yet shows it together with itself.
  content_->setGeometry(contentsRect());
  if (isVisible()) content_->show();
}

QWidget* HistoryCard::makeMetaRow(QWidget* parent) {
  auto* meta = new QWidget(parent);
  QHBoxLayout* row = rowLayout(meta, 10, QMargins(20, 16, 20, 0));

  auto* operation =
      new SymbolLabel(operationSymbol(record_.operation), 12, rajdhaniSemiBold(12), Palette::cyberTextTertiary, 6, meta);
  operation->setText(HistoryCardLook::operationLabel(record_.operation));
  row->addWidget(operation);
  row->addStretch(1);

  if (record_.processingDuration) {
    auto* duration = new TextLabel(rajdhaniMedium(12), Palette::cyberTextTertiary, meta);
    duration->setText(RecordFormat::duration(*record_.processingDuration));
    row->addWidget(duration);
  }
  auto* time = new TextLabel(rajdhaniMedium(12), Palette::cyberTextTertiary, meta);
  time->setText(RecordFormat::time(record_.createdAt));
  row->addWidget(time);

  const QColor color = statusColor(record_.status);
  auto* badge = new SymbolLabel(statusSymbol(record_.status), 12, rajdhaniSemiBold(12), color, 4, meta);
  badge->setText(statusText(record_.status));
  badge->setGlow(Glow{Palette::withOpacity(color, 0.4), 3});
  row->addWidget(badge);
  return meta;
}

QWidget* HistoryCard::makeBody(QWidget* parent) {
  const AppStrings& strings = currentStrings();
  switch (record_.status) {
    case RecognitionStatus::pending:
    case RecognitionStatus::processing: {
      auto* body = new QWidget(parent);
      QHBoxLayout* row = rowLayout(body, 10, QMargins(20, 0, 20, 16));
      row->addWidget(new ProgressSpinner(Palette::neonCyan, 16, body));
      auto* text = new TextLabel(rajdhaniMedium(15), Palette::cyberTextSecondary, body);
      text->setText(strings.processing);
      row->addWidget(text, 1);
      return body;
    }
    case RecognitionStatus::failed: {
      auto* body = new QWidget(parent);
      auto* line = new SymbolLabel(QStringLiteral("exclamationmark.triangle.fill"), 13, rajdhaniMedium(14),
                                   Palette::neonRed, 8, body);
      line->setText(strings.recognizeFailed);
      line->setGlow(Glow{Palette::withOpacity(Palette::neonRed, 0.2), 2});
      QHBoxLayout* row = rowLayout(body, 0, QMargins(20, 0, 20, 16));
      row->addWidget(line);
      row->addStretch(1);
      return body;
    }
    case RecognitionStatus::success:
      break;
  }
  auto* body = new QWidget(parent);
  auto* column = new QVBoxLayout(body);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(makeSummaryRow(body));
  if (isExpanded_) column->addWidget(makeDetails(body));
  return body;
}

QWidget* HistoryCard::makeSummaryRow(QWidget* parent) {
  const AppStrings& strings = currentStrings();
  auto* summaryRow = new QWidget(parent);
  QHBoxLayout* row = rowLayout(summaryRow, 10, QMargins(20, 0, 20, isExpanded_ ? 10 : 16));
  row->setAlignment(Qt::AlignTop);

  if (RecordFormat::isPresent(record_.result) && RecordFormat::isMarkdown(record_)) {
    auto* caption = new QWidget(summaryRow);
    QHBoxLayout* captionRow = rowLayout(caption, 6);
    captionRow->addWidget(
        new SymbolView(QStringLiteral("doc.richtext"), 12, Palette::withOpacity(Palette::neonCyan, 0.7), caption));
    auto* text = new TextLabel(rajdhaniMedium(14), Palette::cyberTextSecondary, caption);
    text->setText(searchResultCaption);
    text->setObjectName(QStringLiteral("summary"));
    captionRow->addWidget(text);
    captionRow->addStretch(1);
    summary_ = text;
    row->addWidget(caption, 1, Qt::AlignTop);
  } else if (RecordFormat::isPresent(record_.result)) {
    // Three lines while collapsed; the rest waits for the details.
    auto* text = new ClampedLabel(rajdhaniMedium(15), Palette::cyberTextPrimary, *record_.result,
                                  isExpanded_ ? std::numeric_limits<int>::max() : kSummaryLines, summaryRow);
    text->setSelectable(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    summary_ = text;
    row->addWidget(text, 1, Qt::AlignTop);
  } else {
    auto* text = new TextLabel(rajdhaniMedium(15), Palette::cyberTextTertiary, summaryRow);
    text->setText(strings.noResult);
    summary_ = text;
    row->addWidget(text, 1, Qt::AlignTop);
  }

  auto* expand = new SymbolButton(isExpanded_ ? QStringLiteral("chevron.up") : QStringLiteral("chevron.down"), 12,
                                  Palette::cyberTextSecondary, summaryRow);
  expand->setFrame(QSizeF(26, 26));
  // A chevron only: it opens or closes the card that begins with this text
  // (its start: a long answer would make a long name).
  if (const auto* shown = qobject_cast<const QLabel*>(summary_)) {
    const QString line = shown->text().section(QLatin1Char('\n'), 0, 0);
    expand->setAccessibleName(line.size() > 60 ? line.left(60) + QStringLiteral("…") : line);
  }
  expand_ = expand;
  connect(expand_, &QAbstractButton::clicked, this, &HistoryCard::toggleExpanded);
  row->addWidget(expand_, 0, Qt::AlignTop);
  return summaryRow;
}

QWidget* HistoryCard::makeDetails(QWidget* parent) {
  const AppStrings& strings = currentStrings();
  auto* details = new QWidget(parent);
  auto* column = new QVBoxLayout(details);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* divider = new QHBoxLayout;
  divider->setContentsMargins(20, 0, 20, 0);
  divider->addWidget(new CyberDividerLine(Palette::cyberSeparator, details));
  column->addLayout(divider);

  auto* sections = new QVBoxLayout;
  sections->setContentsMargins(20, 16, 20, 16);
  sections->setSpacing(16);
  column->addLayout(sections);

  if (RecordFormat::isPresent(record_.transcript)) {
    sections->addWidget(makeTextSection(strings.labelTranscript, Palette::withOpacity(Palette::neonGreen, 0.6),
                                        *record_.transcript, transcriptCopy_, details));
  }
  if (!RecordFormat::isPresent(record_.result)) return details;
  if (!RecordFormat::isMarkdown(record_)) {
    sections->addWidget(makeTextSection(strings.labelResult, Palette::withOpacity(Palette::neonCyan, 0.6),
                                        *record_.result, resultCopy_, details));
    return details;
  }

  auto* section = new QWidget(details);
  auto* block = new QVBoxLayout(section);
  block->setContentsMargins(0, 0, 0, 0);
  block->setSpacing(6);
  auto* header = new QHBoxLayout;
  header->setSpacing(6);
  header->addWidget(
      new GlowLabel(strings.labelResult, Palette::withOpacity(Palette::neonCyan, 0.6), 12, QFont::ExtraBold, section));
  header->addWidget(
      new SymbolView(QStringLiteral("doc.richtext"), 10, Palette::withOpacity(Palette::neonCyan, 0.5), section));
  header->addStretch(1);
  resultCopy_ = makeCopyButton(resultCopied_, section);
  connect(resultCopy_, &QAbstractButton::clicked, this, &HistoryCard::copyResult);
  header->addWidget(resultCopy_);
  block->addLayout(header);

  auto* box = new TextBox(section);
  box->setFixedHeight(280);
  auto* inside = new QVBoxLayout(box);
  inside->setContentsMargins(0, 0, 0, 0);
  markdown_ = new MarkdownScrollView(*record_.result, 280, box);
  markdown_->setFixedHeight(280);
  inside->addWidget(markdown_);
  block->addWidget(box);

  floating_ =
      new OutlineButton(rajdhaniSemiBold(11), Palette::neonCyan, Palette::withOpacity(Palette::neonCyan, 0.3), section);
  floating_->setSymbol(QStringLiteral("rectangle.and.arrow.up.right.and.arrow.down.left"), 10);
  floating_->setFill(Palette::withOpacity(Palette::neonCyan, 0.06));
  floating_->setCornerRadius(8);
  floating_->setText(floatingWindowTitle);
  connect(floating_, &QAbstractButton::clicked, this, &HistoryCard::openInFloatingWindow);
  block->addWidget(floating_, 0, Qt::AlignRight);
  sections->addWidget(section);
  return details;
}

QWidget* HistoryCard::makeTextSection(const QString& title, const QColor& titleColor, const QString& text,
                                      PlainButton*& copy, QWidget* parent) {
  auto* section = new QWidget(parent);
  auto* block = new QVBoxLayout(section);
  block->setContentsMargins(0, 0, 0, 0);
  block->setSpacing(6);
  auto* header = new QHBoxLayout;
  header->addWidget(new GlowLabel(title, titleColor, 12, QFont::ExtraBold, section));
  header->addStretch(1);
  const bool isTranscript = &copy == &transcriptCopy_;
  copy = makeCopyButton(isTranscript ? transcriptCopied_ : resultCopied_, section);
  connect(copy, &QAbstractButton::clicked, this,
          isTranscript ? &HistoryCard::copyTranscript : &HistoryCard::copyResult);
  header->addWidget(copy);
  block->addLayout(header);

  auto* box = new TextBox(section);
  auto* inside = new QVBoxLayout(box);
  inside->setContentsMargins(12, 12, 12, 12);
  auto* body = new TextLabel(rajdhaniMedium(14), Palette::withOpacity(Palette::cyberTextPrimary, 0.8), box);
  body->setText(text);
  body->setWordWrap(true);
  body->setSelectable(true);
  inside->addWidget(body);
  block->addWidget(box);
  return section;
}

PlainButton* HistoryCard::makeCopyButton(bool copied, QWidget* parent) {
  auto* button = new PlainButton(QString(), rajdhaniSemiBold(11), Palette::cyberTextSecondary, parent);
  showCopied(button, copied);
  return button;
}

void HistoryCard::showCopied(PlainButton* button, bool copied) const {
  if (!button) return;
  const AppStrings& strings = currentStrings();
  button->setSymbol(copied ? QStringLiteral("checkmark") : QStringLiteral("doc.on.doc"), 11);
  button->setText(copied ? strings.btnCopied : strings.btnCopy);
  button->setColor(copied ? Palette::neonGreen : Palette::cyberTextSecondary);
}

QWidget* HistoryCard::makeActionRow(QWidget* parent) {
  const AppStrings& strings = currentStrings();
  auto* actions = new QWidget(parent);
  QHBoxLayout* row = rowLayout(actions, 16, QMargins(20, 10, 20, 10));
  row->addStretch(1);
  const bool hasAudio = RecordFormat::hasAudioFile(record_);
  if (hasAudio && record_.retryable) {
    retry_ = new PlainButton(strings.retry, rajdhaniSemiBold(12), Palette::cyberTextSecondary, actions);
    retry_->setSymbol(QStringLiteral("arrow.clockwise"), 11);
    connect(retry_, &QAbstractButton::clicked, this, &HistoryCard::retry);
    row->addWidget(retry_);
  }
  if (hasAudio) {
    deleteAudio_ = new PlainButton(strings.btnDelAudio, rajdhaniSemiBold(12), Palette::cyberTextSecondary, actions);
    deleteAudio_->setSymbol(QStringLiteral("waveform.slash"), 11);
    connect(deleteAudio_, &QAbstractButton::clicked, this, &HistoryCard::deleteAudioOnly);
    row->addWidget(deleteAudio_);
  }
  delete_ = new PlainButton(QString(), rajdhaniSemiBold(12), Palette::cyberTextSecondary, actions);
  delete_->setSymbol(QStringLiteral("trash"), 12);
  delete_->setAccessibleName(strings.delete_);
  connect(delete_, &QAbstractButton::clicked, this, &HistoryCard::askDelete);
  row->addWidget(delete_);
  return actions;
}

QString HistoryCard::summary() const {
  if (const auto* clamped = dynamic_cast<const ClampedLabel*>(summary_)) return clamped->fullText();
  const auto* label = qobject_cast<const QLabel*>(summary_);
  return label ? label->text() : QString();
}

void HistoryCard::toggleExpanded() {
  const int before = height();
  isExpanded_ = !isExpanded_;
  render();
  easeHeight(before);
}

void HistoryCard::easeHeight(int from) {
  if (!isVisible()) return;
  // The card holds each step's height (its layout asks no more, no less) and
  // lets go at the end, when its natural height is the target anyway.
  int to = column_->totalHeightForWidth(width());
  if (to < 0) to = column_->totalSizeHint().height();
  if (to == from) return;
  height_->jumpTo(from);
  height_->setTarget(to);
}

void HistoryCard::resizeEvent(QResizeEvent* event) {
  NeonCard::resizeEvent(event);
  placeContent();
}

void HistoryCard::placeContent() {
  // Mid-way the card is shorter or taller than its content: the content keeps
  // its own height, cut off by the card rather than squeezed or stretched.
  if (!height_->isRunning() || !content_) return;
  const QRect inside = contentsRect();
  const int natural = content_->hasHeightForWidth() ? content_->heightForWidth(inside.width())
                                                     : content_->sizeHint().height();
  content_->setGeometry(inside.x(), inside.y(), inside.width(), natural);
}

void HistoryCard::copy(const QString& text, bool& flag, PlainButton* const& button) {
  Pasteboard& pasteboard = Pasteboard::current();
  pasteboard.clearContents();
  pasteboard.setString(text);
  flag = true;
  showCopied(button, true);
  // An earlier tap's reset is left standing: the mark goes 1.5 s after the
  // first tap of a series.
  QTimer::singleShot(Clock::scaledMs(copiedMilliseconds), this, [this, &flag, &button] {
    flag = false;
    showCopied(button, false);
  });
}

void HistoryCard::copyTranscript() { copy(record_.transcript.value_or(QString()), transcriptCopied_, transcriptCopy_); }

void HistoryCard::copyResult() { copy(record_.result.value_or(QString()), resultCopied_, resultCopy_); }

void HistoryCard::openInFloatingWindow() {
  const QString text = record_.result.value_or(QString());
  QMetaObject::invokeMethod(
      &ResultOverlayWindowController::shared(),
      [text] { ResultOverlayWindowController::shared().show(text, true, true); }, Qt::QueuedConnection);
}

void HistoryCard::retry() { retryRecord(record_); }

void HistoryCard::deleteAudioOnly() {
  const QString id = record_.id;
  QMetaObject::invokeMethod(
      &HistoryStore::shared(), [id] { HistoryStore::shared().deleteAudio(id); }, Qt::QueuedConnection);
}

void HistoryCard::askDelete() {
  const AppStrings& strings = currentStrings();
  delete deleteDialog_.data();
  deleteDialog_ = askForConfirmation(this, strings.deleteConfirm, QString(),
                                     {{strings.deleteRecordAndAudio, true}, {strings.deleteRecordOnly, true}},
                                     strings.cancel, [this](int choice) {
                                       if (choice == 0) deleteRecordAndAudio();
                                       if (choice == 1) deleteRecordOnly();
                                     });
}

void HistoryCard::deleteRecordAndAudio() {
  const QString id = record_.id;
  QMetaObject::invokeMethod(
      &HistoryStore::shared(), [id] { HistoryStore::shared().deleteRecord(id, true); }, Qt::QueuedConnection);
}

void HistoryCard::deleteRecordOnly() {
  const QString id = record_.id;
  QMetaObject::invokeMethod(
      &HistoryStore::shared(), [id] { HistoryStore::shared().deleteRecord(id, false); }, Qt::QueuedConnection);
}
