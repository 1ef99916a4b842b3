#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class QPlainTextEdit;

// The multi-line field of a practice page: a text editor on a faint rounded
// plate whose outline lights up in the accent while the editor has the
// keyboard focus. A click anywhere on the plate, padding included, gives the
// editor the focus, so the field is the focused element when the user
// presses a hotkey. The editor is a real editable text widget: the selection
// capture reads it as the focused, editable element of this window.
class TrialField : public QWidget {
  Q_OBJECT

 public:
  explicit TrialField(const QColor& accent, QWidget* parent = nullptr);

  QString text() const;
  void setText(const QString& text);
  // Shown in the empty editor; empty for none.
  void setPlaceholder(const QString& placeholder);

  bool isFocused() const;
  QPlainTextEdit* editor() const { return editor_; }

 Q_SIGNALS:
  void textChanged();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fitHeight();

  QColor accent_;
  QPlainTextEdit* editor_;
};
