#pragma once

#include "localization/applanguage.h"
#include "onboarding/languagepopover.h"

#include <QAbstractButton>
#include <QPointer>

// The sign-in window's choice of interface language: a small button with a
// globe, the current language's name and an up-down chevron. It opens the
// language popover under itself; choosing a language there switches the
// interface at once (and stores the choice) and closes the popover, also when
// the language was already the current one.
class LanguagePicker : public QAbstractButton {
  Q_OBJECT

 public:
  explicit LanguagePicker(QWidget* parent = nullptr);

  bool isPopoverShown() const;
  // The open popover, or nothing.
  LanguagePopover* popover() const { return popover_; }

  void choose(AppLanguage language);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void togglePopover();
  void describe();

  QPointer<LanguagePopover> popover_;
};
