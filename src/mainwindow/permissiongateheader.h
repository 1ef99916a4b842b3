#pragma once

#include <QWidget>

// The top of the permission gate: a shield that is green when every
// permission is granted and orange (with a warning badge) otherwise, beside a
// title and a subtitle that say the same in words. Texts are read from the
// current language at each painting.
class PermissionGateHeader : public QWidget {
  Q_OBJECT

 public:
  explicit PermissionGateHeader(QWidget* parent = nullptr);

  void setAllGranted(bool allGranted);
  bool allGranted() const { return allGranted_; }

  // The texts on show, for tests.
  QString title() const;
  QString subtitle() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  static constexpr qreal kPaddingH = 24;
  static constexpr qreal kPaddingV = 20;
  static constexpr qreal kSpacing = 14;

  bool allGranted_ = false;
};
