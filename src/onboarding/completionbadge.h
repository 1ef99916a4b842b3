#pragma once

#include <QWidget>

class GlowEffect;

// The verdict under every practice page: a green check with "Done — you may
// continue" once the flow has seen the exercise passed, an orange dashed
// circle with the waiting text before. Texts follow the interface language.
class CompletionBadge : public QWidget {
  Q_OBJECT

 public:
  explicit CompletionBadge(bool isDone, QWidget* parent = nullptr);

  bool isDone() const { return isDone_; }
  void setDone(bool isDone);
  // The text shown now (for tests and accessibility).
  QString text() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor color() const;
  QString symbol() const;
  void restyle();

  bool isDone_;
  GlowEffect* glow_;
};
