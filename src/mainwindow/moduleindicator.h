#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// A module of a persona on its card: the module's symbol and a small dot.
// Switched on, both take the module's accent; switched off, the symbol is dim
// and the dot faint when a prompt is kept, invisible when there is none.
class ModuleIndicator : public QWidget {
  Q_OBJECT

 public:
  ModuleIndicator(const QString& symbol, const QColor& accent, QWidget* parent = nullptr);

  void setState(bool enabled, bool hasPrompt);
  QColor symbolColor() const { return symbolColor_; }
  QColor dotColor() const { return dotColor_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString symbol_;
  QColor accent_;
  QColor symbolColor_;
  QColor dotColor_;
};
