#pragma once

#include "localization/applanguage.h"

#include <QAbstractButton>

// One language of the language popover: its own name (the same in every
// interface language) and, for the language in use, a check mark on a faint
// cyan ground.
class LanguageRow : public QAbstractButton {
  Q_OBJECT

 public:
  LanguageRow(AppLanguage language, QWidget* parent = nullptr);

  AppLanguage language() const { return language_; }
  void setCurrent(bool current);
  bool isCurrent() const { return current_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  AppLanguage language_;
  bool current_ = false;
};
