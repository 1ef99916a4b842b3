#include "mainwindow/accountpopoverview.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/accountfigures.h"
#include "mainwindow/accountinforow.h"
#include "mainwindow/badgelabel.h"
#include "mainwindow/creditsbar.h"
#include "mainwindow/myinvitecodesview.h"
#include "mainwindow/popover.h"
#include "mainwindow/rowbutton.h"
#include "mainwindow/symbolview.h"
#include "mainwindow/textlabel.h"
#include "service/authstore.h"
#include "theme/cyberdividerline.h"
#include "theme/fonts.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace Palette;

AccountPopoverView::AccountPopoverView(std::function<void()> onLogout, QWidget* parent)
    : QWidget(parent), onLogout_(std::move(onLogout)) {
  setFixedWidth(viewWidth);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* account = new QVBoxLayout();
  account->setContentsMargins(20, 20, 20, 20);
  account->setSpacing(16);
  auto* header = new QHBoxLayout();
  header->setSpacing(14);
  auto* avatar = new SymbolView(QStringLiteral("person.circle.fill"), 36, withOpacity(neonCyan, 0.6), this);
  avatar->setGlow(Glow{withOpacity(neonCyan, 0.3), 6});
  header->addWidget(avatar);
  auto* heading = new QVBoxLayout();
  heading->setSpacing(4);
  title_ = new TextLabel(orbitronFont(15, QFont::Bold), cyberTextPrimary, this);
  heading->addWidget(title_);
  tierBadge_ = new BadgeLabel({rajdhaniSemiBold(10), neonGreen, withOpacity(neonGreen, 0.12),
                               withOpacity(neonGreen, 0.3), 0.6, 4, QMarginsF(8, 3, 8, 3)},
                              this);
  heading->addWidget(tierBadge_, 0, Qt::AlignLeft);
  header->addLayout(heading);
  header->addStretch();
  account->addLayout(header);
  account->addWidget(new CyberDividerLine(cyberSeparator, this));
  emailRow_ = new AccountInfoRow(this);
  planRow_ = new AccountInfoRow(this);
  account->addWidget(emailRow_);
  account->addWidget(planRow_);

  creditsBlock_ = new QWidget(this);
  auto* credits = new QVBoxLayout(creditsBlock_);
  credits->setContentsMargins(0, 0, 0, 0);
  credits->setSpacing(8);
  credits->addWidget(new CyberDividerLine(cyberSeparator, creditsBlock_));
  auto* meter = new QVBoxLayout();
  meter->setSpacing(6);
  auto* countLine = new QHBoxLayout();
  creditsLabel_ = new TextLabel(rajdhaniSemiBold(12), cyberTextTertiary, creditsBlock_);
  creditsCount_ = new TextLabel(rajdhaniMedium(13), neonRed, creditsBlock_);
  countLine->addWidget(creditsLabel_);
  countLine->addStretch();
  countLine->addWidget(creditsCount_);
  meter->addLayout(countLine);
  creditsBar_ = new CreditsBar(creditsBlock_);
  meter->addWidget(creditsBar_);
  credits->addLayout(meter);
  resetRow_ = new AccountInfoRow(creditsBlock_);
  credits->addWidget(resetRow_);
  account->addWidget(creditsBlock_);
  column->addLayout(account);

  inviteBlock_ = new QWidget(this);
  auto* invite = new QVBoxLayout(inviteBlock_);
  invite->setContentsMargins(0, 0, 0, 0);
  invite->setSpacing(0);
  invite->addWidget(new CyberDividerLine(withOpacity(neonCyan, 0.1), inviteBlock_));
  inviteButton_ = new RowButton(QStringLiteral("key"), 12, rajdhaniSemiBold(12), cyberTextTertiary, 10, inviteBlock_);
  connect(inviteButton_, &QAbstractButton::clicked, this, [this] { setShowInviteCodes(true); });
  invite->addWidget(inviteButton_);
  column->addWidget(inviteBlock_);

  column->addWidget(new CyberDividerLine(withOpacity(neonRed, 0.3), this));
  logoutButton_ = new RowButton(QStringLiteral("rectangle.portrait.and.arrow.right"), 13, rajdhaniSemiBold(13),
                                withOpacity(neonRed, 0.8), 12, this);
  connect(logoutButton_, &QAbstractButton::clicked, this, [this] {
    if (onLogout_) onLogout_();
  });
  column->addWidget(logoutButton_);

  AuthStore& store = AuthStore::shared();
  for (auto changed : {&AuthStore::emailChanged, &AuthStore::tierChanged, &AuthStore::creditsTotalChanged,
                       &AuthStore::creditsRemainingChanged, &AuthStore::creditsResetAtChanged,
                       &AuthStore::showInviteCodesEnabledChanged}) {
    connect(&store, changed, this, &AccountPopoverView::render);
  }
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &AccountPopoverView::render);
  render();
}

AccountPopoverView::~AccountPopoverView() {
  // The invite codes' popover is a window of its own: it goes with this view.
  if (Popover* popover = inviteCodes_.data()) {
    inviteCodes_ = nullptr;
    delete popover;
  }
}

void AccountPopoverView::render() {
  const AppStrings& strings = currentStrings();
  const AuthStore& store = AuthStore::shared();
  const QString tier = AccountFigures::tierText(store.tier());
  title_->setText(strings.accountTitle);
  setAccessibleName(strings.accountTitle);
  tierBadge_->setText(tier);
  emailRow_->setTexts(strings.accountEmail, store.email().value_or(strings.notLoggedIn));
  planRow_->setTexts(strings.accountTier, tier);

  creditsBlock_->setVisible(AccountFigures::showsCredits(store.tier(), store.creditsTotal()));
  const double fraction = AccountFigures::creditsFraction(store.creditsRemaining(), store.creditsTotal());
  const QColor tone = AccountFigures::creditsColor(fraction);
  creditsLabel_->setText(strings.accountCredits);
  creditsCount_->setText(AccountFigures::creditsText(store.creditsRemaining(), store.creditsTotal()));
  creditsCount_->setColor(tone);
  creditsBar_->setFraction(fraction, tone);
  const std::optional<QString> resetDate =
      store.formattedCreditsResetDate(AccountFigures::dateLocale(LanguageManager::shared().current()));
  resetRow_->setVisible(resetDate.has_value());
  if (resetDate) resetRow_->setTexts(strings.accountCreditsReset, strings.accountCreditsResetDate(*resetDate));

  inviteBlock_->setVisible(store.showInviteCodesEnabled());
  inviteButton_->setText(strings.myInviteCodesBtn);
  logoutButton_->setText(strings.logout);
}

void AccountPopoverView::setShowInviteCodes(bool show) {
  if (show == showInviteCodes()) return;
  if (show) {
    auto* codes = new MyInviteCodesView([this] { setShowInviteCodes(false); });
    auto* popover = new Popover(inviteButton_, Popover::ArrowEdge::trailing, codes);
    inviteCodes_ = popover;
    // Closed from outside (a click elsewhere, Escape) or by its close button.
    connect(popover, &Popover::dismissed, this, [this, popover] {
      if (inviteCodes_ != popover) return;
      inviteCodes_ = nullptr;
      popover->deleteLater();
      Q_EMIT showInviteCodesChanged();
    });
    popover->present();
  } else {
    Popover* popover = inviteCodes_;
    inviteCodes_ = nullptr;
    popover->hide();
    popover->deleteLater();
  }
  Q_EMIT showInviteCodesChanged();
}
