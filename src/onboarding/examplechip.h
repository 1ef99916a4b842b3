#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// A spoken example on the agent page: a waveform mark and the question in
// corner brackets, on a faint rounded plate. A label only; it reacts to no
// click.
class ExampleChip : public QWidget {
  Q_OBJECT

 public:
  explicit ExampleChip(const QColor& accent, QWidget* parent = nullptr);

  // The question without its brackets.
  void setExample(const QString& example);
  QString text() const { return text_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor accent_;
  QString text_;
};
