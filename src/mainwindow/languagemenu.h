#pragma once

#include "localization/applanguage.h"

#include <QList>
#include <QWidget>

class QAbstractButton;

// The language popover's content: one row per interface language, each under
// its own name, the current one in cyan with a check mark. Choosing a row
// reports it; the caller applies it.
class LanguageMenu : public QWidget {
  Q_OBJECT

 public:
  explicit LanguageMenu(QWidget* parent = nullptr);

  // The row of `language` (tests press it).
  QAbstractButton* row(AppLanguage language) const;

  static constexpr int menuWidth = 210;

 Q_SIGNALS:
  void languageChosen(AppLanguage language);

 private:
  QList<QAbstractButton*> rows_;
};
