#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class AccountInfoRow;
class BadgeLabel;
class CreditsBar;
class Popover;
class RowButton;
class TextLabel;

// The account popover of the main window: the signed-in e-mail, the plan's
// tier, the credits left with a coloured bar and the date they are renewed,
// the user's own invite codes (when the service offers them) and signing out.
// It follows the account store and the interface language while open.
//
// The owner shows it in its popover and passes what "Log out" does: close
// that popover first, then sign out (AuthStore::clearSession()).
class AccountPopoverView : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool showInviteCodes READ showInviteCodes WRITE setShowInviteCodes NOTIFY showInviteCodesChanged)

 public:
  explicit AccountPopoverView(std::function<void()> onLogout, QWidget* parent = nullptr);
  ~AccountPopoverView() override;

  // The invite codes' own popover is open.
  bool showInviteCodes() const { return !inviteCodes_.isNull(); }
  void setShowInviteCodes(bool show);

  static constexpr int viewWidth = 280;

  BadgeLabel* tierBadge() const { return tierBadge_; }
  AccountInfoRow* emailRow() const { return emailRow_; }
  AccountInfoRow* planRow() const { return planRow_; }
  QWidget* creditsBlock() const { return creditsBlock_; }
  TextLabel* creditsCount() const { return creditsCount_; }
  CreditsBar* creditsBar() const { return creditsBar_; }
  AccountInfoRow* resetRow() const { return resetRow_; }
  RowButton* inviteCodesButton() const { return inviteButton_; }
  RowButton* logoutButton() const { return logoutButton_; }
  Popover* inviteCodesPopover() const { return inviteCodes_; }

 Q_SIGNALS:
  void showInviteCodesChanged();

 private:
  void render();

  std::function<void()> onLogout_;
  TextLabel* title_;
  BadgeLabel* tierBadge_;
  AccountInfoRow* emailRow_;
  AccountInfoRow* planRow_;
  QWidget* creditsBlock_;
  TextLabel* creditsLabel_;
  TextLabel* creditsCount_;
  CreditsBar* creditsBar_;
  AccountInfoRow* resetRow_;
  QWidget* inviteBlock_;
  RowButton* inviteButton_;
  RowButton* logoutButton_;
  QPointer<Popover> inviteCodes_;
};
