#include "overlays/resultoverlayview.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "overlays/chipbutton.h"
#include "overlays/glowinglabel.h"
#include "overlays/glowpainting.h"
#include "overlays/markdownscrollview.h"
#include "overlays/overlaycard.h"
#include "overlays/overlayclosebutton.h"
#include "overlays/resultoverlayviewmodel.h"
#include "overlays/resultplaintext.h"
#include "theme/fonts.h"
#include "theme/palette.h"
#include "theme/rollinglabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The markdown title is the same in every interface language.
const QString kMarkdownTitle = QStringLiteral("◈ 搜索结果");

const OverlayCard& card() {
  static const OverlayCard style{12,
                                 Palette::cyberPanelBg,
                                 {Palette::withOpacity(Palette::neonCyan, 0.8), Palette::withOpacity(Palette::neonCyan, 0.15),
                                  Palette::withOpacity(Palette::neonGreen, 0.5)},
                                 1.2,
                                 Glow{Palette::withOpacity(Palette::neonCyan, 0.25), 8},
                                 CornerBrackets{Palette::neonCyan, 10},
                                 3};
  return style;
}

// The faint line under the header, 16 in from either side.
class HeaderLine : public QWidget {
 public:
  explicit HeaderLine(QWidget* parent) : QWidget(parent) { setFixedHeight(1); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Palette::withOpacity(Palette::neonCyan, 0.2));
  }
};

}  // namespace

ResultOverlayView::ResultOverlayView(ResultOverlayViewModel& model, QWidget* parent)
    : OverlayContentView(parent), model_(model) {
  setAttribute(Qt::WA_TranslucentBackground);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  header_ = makeHeader();
  column->addWidget(header_);

  auto* line = new QHBoxLayout;
  line->setContentsMargins(16, 0, 16, 0);
  line->addWidget(new HeaderLine(this));
  column->addLayout(line);

  markdownBox_ = new QWidget(this);
  auto* markdownLayout = new QVBoxLayout(markdownBox_);
  markdownLayout->setContentsMargins(4, 4, 4, 4);
  markdown_ = new MarkdownScrollView(QString(), kMarkdownHeight, markdownBox_);
  // Shorter only in a panel cut to a small screen; the text then scrolls.
  markdown_->setMaximumHeight(kMarkdownHeight);
  markdown_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
  markdownLayout->addWidget(markdown_);
  column->addWidget(markdownBox_);

  plainBox_ = new QWidget(this);
  auto* plainLayout = new QVBoxLayout(plainBox_);
  plainLayout->setContentsMargins(16, 10, 16, 10);
  plain_ = new ResultPlainText(plainBox_);
  plainLayout->addWidget(plain_);
  // A plain text taller than the panel is cut off; header and footer stay.
  plainBox_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
  column->addWidget(plainBox_, 1);

  footer_ = makeFooter();
  column->addWidget(footer_);

  const auto refreshNow = [this] { refresh(); };
  connect(&model_, &ResultOverlayViewModel::textChanged, this, refreshNow);
  connect(&model_, &ResultOverlayViewModel::isMarkdownChanged, this, refreshNow);
  connect(&model_, &ResultOverlayViewModel::countdownChanged, this, refreshNow);
  connect(&model_, &ResultOverlayViewModel::pinnedChanged, this, refreshNow);
  connect(&model_, &ResultOverlayViewModel::copiedChanged, this, refreshNow);
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, refreshNow);
  refresh();
}

QWidget* ResultOverlayView::makeHeader() {
  auto* header = new QWidget(this);
  auto* row = new QHBoxLayout(header);
  row->setContentsMargins(14, 12, 14, 8);
  row->setSpacing(8);
  // The badge is painted by the card under this empty slot, so its glow is
  // not cut at the slot's edges.
  badgeSlot_ = new QWidget(header);
  badgeSlot_->setFixedSize(26, 26);
  row->addWidget(badgeSlot_);
  title_ = new GlowingLabel(orbitronFont(12, QFont::Bold), Palette::neonCyan,
                            Glow{Palette::withOpacity(Palette::neonCyan, 0.6), 4}, header);
  row->addWidget(title_);
  row->addStretch(1);
  copyButton_ = new ChipButton(header);
  connect(copyButton_, &QAbstractButton::clicked, this, &ResultOverlayView::copyRequested);
  row->addWidget(copyButton_);
  closeButton_ = new OverlayCloseButton(
      {10, Palette::cyberTextSecondary, 22, Palette::withOpacity(Palette::cyberTextSecondary, 0.12)}, header);
  connect(closeButton_, &QAbstractButton::clicked, this, &ResultOverlayView::dismissRequested);
  row->addWidget(closeButton_);
  return header;
}

QWidget* ResultOverlayView::makeFooter() {
  auto* footer = new QWidget(this);
  auto* row = new QHBoxLayout(footer);
  row->setContentsMargins(14, 4, 14, 10);
  row->setSpacing(8);
  pinButton_ = new ChipButton(footer);
  connect(pinButton_, &QAbstractButton::clicked, this, [this] { model_.setPinned(!model_.pinned()); });
  row->addWidget(pinButton_);
  row->addStretch(1);
  status_ = new RollingLabel(footer);
  status_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  row->addWidget(status_);
  return footer;
}

QString ResultOverlayView::titleText() const {
  return model_.isMarkdown() ? kMarkdownTitle : currentStrings().overlayResultTitle;
}

QString ResultOverlayView::statusText() const {
  if (model_.pinned()) return currentStrings().overlayResultPinned;
  if (model_.copied()) return currentStrings().btnCopied;
  return QStringLiteral("%1s").arg(model_.countdown());
}

int ResultOverlayView::cardWidth() const { return model_.isMarkdown() ? kMarkdownWidth : kPlainWidth; }

int ResultOverlayView::fittingHeight() const {
  // Every row at its natural height: the line under the header is 1 high, the
  // markdown box 510 and 4 around it, the plain text as high as it wraps and
  // 10 above and below.
  const int content =
      model_.isMarkdown() ? kMarkdownHeight + 8 : plain_->heightForWidth(cardWidth() - 32) + 20;
  return header_->sizeHint().height() + 1 + content + footer_->sizeHint().height();
}

void ResultOverlayView::refresh() {
  const AppStrings& strings = currentStrings();
  title_->setFont(orbitronFont(12, QFont::Bold));
  title_->setText(titleText());

  if (model_.copied()) {
    copyButton_->setChip(QStringLiteral("checkmark"), strings.btnCopied, Palette::neonGreen);
  } else {
    copyButton_->setChip(QStringLiteral("doc.on.doc"), strings.btnCopy, Palette::neonCyan);
  }
  if (model_.pinned()) {
    pinButton_->setChip(QStringLiteral("pin.fill"), strings.btnUnpin, Palette::neonYellow);
  } else {
    pinButton_->setChip(QStringLiteral("pin"), strings.btnPin, Palette::cyberTextSecondary);
  }

  QColor statusColor = Palette::cyberTextTertiary;
  if (model_.pinned()) {
    statusColor = Palette::withOpacity(Palette::neonGreen, 0.7);
  } else if (model_.copied()) {
    statusColor = Palette::neonGreen;
  }
  status_->setFont(rajdhaniBold(11));
  QPalette colours = status_->palette();
  colours.setColor(QPalette::WindowText, statusColor);
  status_->setPalette(colours);
  // Every change of the seconds left rolls in; pinning and copying change the status at once.
  const bool counting = !model_.pinned() && !model_.copied();
  status_->showText(statusText(), counting && shownCountdown_ && *shownCountdown_ != model_.countdown());
  shownCountdown_ = counting ? std::optional<int>(model_.countdown()) : std::nullopt;

  markdownBox_->setVisible(model_.isMarkdown());
  plainBox_->setVisible(!model_.isMarkdown());
  if (model_.isMarkdown()) {
    markdown_->setText(model_.text());
  } else {
    plain_->setText(model_.text());
  }
  update();
}

QPainterPath ResultOverlayView::outline() const { return card().shape(rect()); }

void ResultOverlayView::paintEvent(QPaintEvent*) {
  const QRectF bounds = rect();
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  card().paintBackground(painter, bounds);

  const QRectF badge(badgeSlot_->mapTo(this, QPoint(0, 0)), badgeSlot_->size());
  GlowPainting::ring(painter, badge, 26, 1.5, Palette::withOpacity(Palette::neonCyan, 0.35),
                     Glow{Palette::withOpacity(Palette::neonCyan, 0.4), 5});
  GlowPainting::symbol(painter, badge,
                       model_.isMarkdown() ? QStringLiteral("magnifyingglass") : QStringLiteral("text.alignleft"), 11,
                       Palette::neonCyan, Glow{Palette::withOpacity(Palette::neonCyan, 0.6), 3});

  card().paintBorder(painter, bounds);
}
