#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class GlowLabel;

// The heading of a settings section: a symbol and a glowing title, both in
// the section's colour.
class SectionHeader : public QWidget {
  Q_OBJECT

 public:
  SectionHeader(const QString& symbol, const QColor& color, QWidget* parent = nullptr);

  void setTitle(const QString& title);
  QString title() const;

 private:
  GlowLabel* title_;
};
