#pragma once

#include "localization/applanguage.h"

#include <QAbstractButton>

class GlowEffect;

// A language choice on the settings page: the language's own name on a
// rounded backing, cyan and glowing when it is the interface language, dim
// otherwise.
class LanguageButton : public QAbstractButton {
  Q_OBJECT

 public:
  explicit LanguageButton(AppLanguage language, QWidget* parent = nullptr);

  AppLanguage language() const { return language_; }
  bool isSelected() const { return selected_; }
  void setSelected(bool selected);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  AppLanguage language_;
  bool selected_ = false;
  GlowEffect* glow_;
};
