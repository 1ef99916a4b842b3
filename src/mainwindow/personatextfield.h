#pragma once

#include <QColor>
#include <QLineEdit>

// A one-line field of the persona editor: plain text padded 10 on a dark
// rounded fill with a thin outline whose colour the sheet chooses.
class PersonaTextField : public QLineEdit {
  Q_OBJECT

 public:
  PersonaTextField(const QFont& font, const QColor& fill, QWidget* parent = nullptr);

  QColor outline() const { return outline_; }
  void setOutline(const QColor& outline);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor fill_;
  QColor outline_;
};
