#pragma once

#include "pipeline/permissionstatus.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>

class NeonButton;
class PlainButton;

// One permission in the permission gate: its symbol in a tinted box with a
// status mark, its name and a one-line explanation, and one action: "grant"
// (a neon button in the row's colour) while the permission is missing,
// "manage" (a plain button that opens the desktop's settings) once granted.
class PermRow : public QWidget {
  Q_OBJECT

 public:
  PermRow(const QString& icon, const QColor& iconColor, std::function<void()> onAuth, std::function<void()> onRevoke,
          QWidget* parent = nullptr);

  // Texts and status change with the language and the permission model.
  void setContent(const QString& title, const QString& description, PermissionStatus status);

  QString title() const { return title_; }
  QString description() const { return description_; }
  PermissionStatus status() const { return status_; }
  // The button on show: the authorise button while not granted, else manage.
  NeonButton* authButton() const { return authButton_; }
  PlainButton* manageButton() const { return manageButton_; }

  QSize sizeHint() const override;
  // A long description wraps, so the row grows with it.
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  static constexpr qreal kPaddingH = 24;
  static constexpr qreal kPaddingV = 12;
  static constexpr qreal kBoxSide = 36;
  static constexpr qreal kSpacing = 14;

  QRectF iconBox() const;
  void placeButtons();
  qreal textLeft() const { return kPaddingH + kBoxSide + kSpacing; }
  QWidget* visibleButton() const;
  // The width left for the texts in a row `width` wide, and the height the
  // wrapped description takes in it.
  qreal textWidth(int width) const;
  qreal descriptionHeight(qreal textWidth) const;

  QString icon_;
  QColor iconColor_;
  QString title_;
  QString description_;
  PermissionStatus status_ = PermissionStatus::notDetermined;
  NeonButton* authButton_;
  PlainButton* manageButton_;
};
