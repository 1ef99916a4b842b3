#include "mainwindow/openclawcard.h"

#include "localization/appstrings.h"
#include "mainwindow/outlinebutton.h"
#include "mainwindow/neonbusybutton.h"
#include "mainwindow/openclawiconbox.h"
#include "mainwindow/textlabel.h"
#include "theme/cornerbrackets.h"
#include "theme/fonts.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

QColor colorOf(OpenClawCard::Kind kind) {
  switch (kind) {
    case OpenClawCard::Kind::install:
      return Palette::neonPink;
    case OpenClawCard::Kind::serviceDown:
      return Palette::neonOrange;
    case OpenClawCard::Kind::ready:
      break;
  }
  return Palette::neonGreen;
}

TextLabel* cardTitle(const QColor& color, QWidget* parent) {
  auto* title = new TextLabel(orbitronFont(17, QFont::Bold), color, parent);
  title->setGlow(Glow{Palette::withOpacity(color, 0.5), 4});
  return title;
}

TextLabel* cardDescription(QWidget* parent) {
  auto* description = new TextLabel(rajdhaniMedium(14), Palette::cyberTextSecondary, parent);
  description->setWordWrap(true);
  return description;
}

}  // namespace

std::optional<OpenClawCard::Kind> OpenClawCard::kindFor(OpenClawStatus status) {
  switch (status) {
    case OpenClawStatus::notInstalled:
      return Kind::install;
    case OpenClawStatus::installedServiceDown:
      return Kind::serviceDown;
    case OpenClawStatus::ready:
      return Kind::ready;
    case OpenClawStatus::unknown:
      break;
  }
  return std::nullopt;
}

OpenClawCard::OpenClawCard(Kind kind, QWidget* parent)
    : NeonCard(colorOf(kind), kind == Kind::install ? 10 : 8, parent), kind_(kind) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
  if (kind_ == Kind::install) {
    buildInstall();
  } else {
    buildInstalled();
  }
  terminalNote_ = new TextLabel(rajdhaniSemiBold(12), Palette::neonRed, this);
  terminalNote_->setWordWrap(true);
  terminalNote_->hide();
  static_cast<QVBoxLayout*>(layout())->addWidget(terminalNote_);
  render(false);
}

QColor OpenClawCard::color() const { return colorOf(kind_); }

void OpenClawCard::buildInstall() {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(28, 28, 28, 28);
  column->setSpacing(16);

  auto* heading = new QHBoxLayout;
  heading->setSpacing(14);
  auto* lobster = new TextLabel(rajdhaniMedium(36), Palette::cyberTextPrimary, this);
  lobster->setText(QStringLiteral("🦞"));
  heading->addWidget(lobster, 0, Qt::AlignVCenter);
  auto* texts = new QVBoxLayout;
  texts->setSpacing(6);
  title_ = cardTitle(color(), this);
  description_ = cardDescription(this);
  texts->addWidget(title_);
  texts->addWidget(description_);
  heading->addLayout(texts, 1);
  column->addLayout(heading);

  install_ = new NeonButton(QString(), color(), this);
  install_->setLabelFont(rajdhaniSemiBold(13));
  connect(install_, &QAbstractButton::clicked, this, &OpenClawCard::installRequested);
  column->addWidget(install_, 0, Qt::AlignLeft);

  note_ = new TextLabel(rajdhaniMedium(11), Palette::withOpacity(Palette::cyberTextSecondary, 0.6), this);
  note_->setWordWrap(true);
  column->addWidget(note_);
}

void OpenClawCard::buildInstalled() {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(28, 28, 28, 28);
  column->setSpacing(16);

  auto* heading = new QHBoxLayout;
  heading->setSpacing(22);
  heading->addWidget(new OpenClawIconBox(color(), this), 0, Qt::AlignVCenter);
  auto* texts = new QVBoxLayout;
  texts->setSpacing(8);
  title_ = cardTitle(color(), this);
  description_ = cardDescription(this);
  texts->addWidget(title_);
  texts->addWidget(description_);
  heading->addLayout(texts, 1);
  uninstall_ = new OutlineButton(rajdhaniMedium(11), Palette::withOpacity(Palette::cyberTextSecondary, 0.7),
                                 Palette::withOpacity(Palette::cyberTextSecondary, 0.3), this);
  connect(uninstall_, &QAbstractButton::clicked, this, &OpenClawCard::uninstallRequested);
  heading->addWidget(uninstall_, 0, Qt::AlignVCenter);
  column->addLayout(heading);

  if (kind_ == Kind::serviceDown) {
    start_ = new NeonBusyButton(color(), rajdhaniSemiBold(13), this);
    connect(start_, &QAbstractButton::clicked, this, &OpenClawCard::startRequested);
    column->addWidget(start_, 0, Qt::AlignLeft);
  } else {
    stop_ = new NeonButton(QString(), Palette::withOpacity(color(), 0.6), this);
    stop_->setLabelFont(rajdhaniSemiBold(13));
    connect(stop_, &QAbstractButton::clicked, this, &OpenClawCard::stopRequested);
    column->addWidget(stop_, 0, Qt::AlignLeft);
  }
}

void OpenClawCard::render(bool isStartingGateway, bool terminalUnavailable) {
  const AppStrings& strings = currentStrings();
  terminalNote_->setText(strings.openclawNoTerminal);
  terminalNote_->setVisible(terminalUnavailable);
  switch (kind_) {
    case Kind::install:
      title_->setText(strings.openclawPromoTitle);
      description_->setText(strings.openclawPromoDesc);
      install_->setText(strings.openclawInstallBtn);
      note_->setText(strings.openclawMinVersion);
      return;
    case Kind::serviceDown:
      title_->setText(strings.openclawServiceDownTitle);
      description_->setText(strings.openclawServiceDownDesc);
      start_->setBusy(isStartingGateway);
      start_->setEnabled(!isStartingGateway);
      start_->setText(isStartingGateway ? strings.openclawStartingGateway : strings.openclawStartBtn);
      break;
    case Kind::ready:
      title_->setText(strings.openclawInstalledTitle);
      description_->setText(strings.openclawInstalledDesc);
      stop_->setText(strings.openclawStopBtn);
      break;
  }
  uninstall_->setText(strings.openclawUninstallBtn);
}

QAbstractButton* OpenClawCard::primaryButton() const {
  switch (kind_) {
    case Kind::install:
      return install_;
    case Kind::serviceDown:
      return start_;
    case Kind::ready:
      break;
  }
  return stop_;
}

void OpenClawCard::paintEvent(QPaintEvent* event) {
  NeonCard::paintEvent(event);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal inset = CornerBrackets::lineWidth / 2;
  CornerBrackets{color(), 16}.paint(painter, QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}
