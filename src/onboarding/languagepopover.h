#pragma once

#include "localization/applanguage.h"

#include <QList>
#include <QPainterPath>
#include <QWidget>

class LanguageRow;

// The list of the six interface languages that the sign-in window's language
// button opens: a small panel under the button, its arrow on the top edge
// pointing at it (above the button, arrow down, when the screen ends below
// it). It closes when the user clicks anywhere else.
class LanguagePopover : public QWidget {
  Q_OBJECT

 public:
  explicit LanguagePopover(QWidget* parent = nullptr);

  static constexpr int fixedWidth = 200;
  static constexpr int arrowHeight = 7;

  // Shows the panel pointing at `anchor` (global coordinates).
  void popUp(const QRect& anchor);
  bool pointsUp() const { return arrowOnTop_; }

  // The row of each language, in the order of the languages.
  const QList<LanguageRow*>& rows() const { return rows_; }

 Q_SIGNALS:
  void chosen(AppLanguage language);
  void closed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void markCurrent();
  void reshape();
  QPainterPath outline() const;

  QList<LanguageRow*> rows_;
  bool arrowOnTop_ = true;
};
