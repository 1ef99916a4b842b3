#pragma once

#include <QAbstractButton>
#include <QString>

#include <optional>

// The account's button at the foot of the sidebar: a glowing person symbol
// and two lines, the e-mail (or "not signed in") over the tier. It keeps
// `leadingRoom` clear before the symbol for its glow.
class AccountButton : public QAbstractButton {
  Q_OBJECT

 public:
  explicit AccountButton(QWidget* parent = nullptr);

  void setAccount(const std::optional<QString>& email, const QString& tier);
  // Reads its texts again in the current interface language.
  void retranslate();

  // The two lines, in the current interface language: the e-mail or
  // notLoggedIn; tierTrial for exactly "trial", else the tier in capitals
  // (an empty tier gives an empty line).
  static QString emailLine(const std::optional<QString>& email);
  static QString tierLine(const QString& tier);

  QString shownEmailLine() const { return emailLine(email_); }
  QString shownTierLine() const { return tierLine(tier_); }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  static constexpr int leadingRoom = 8;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<QString> email_;
  QString tier_;
};
