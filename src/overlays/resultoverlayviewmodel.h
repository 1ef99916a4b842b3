#pragma once

#include <QObject>
#include <QString>

// What the result panel shows: the text, plain or markdown, the seconds left
// before it hides itself, whether the user pinned it and whether the text was
// just copied. A field notifies only when its value changes.
class ResultOverlayViewModel : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
  Q_PROPERTY(bool isMarkdown READ isMarkdown WRITE setIsMarkdown NOTIFY isMarkdownChanged)
  Q_PROPERTY(int countdown READ countdown WRITE setCountdown NOTIFY countdownChanged)
  Q_PROPERTY(bool pinned READ pinned WRITE setPinned NOTIFY pinnedChanged)
  Q_PROPERTY(bool copied READ copied WRITE setCopied NOTIFY copiedChanged)

 public:
  static constexpr int kCountdownSeconds = 30;

  using QObject::QObject;

  QString text() const { return text_; }
  void setText(const QString& text);
  bool isMarkdown() const { return isMarkdown_; }
  void setIsMarkdown(bool isMarkdown);
  int countdown() const { return countdown_; }
  void setCountdown(int countdown);
  bool pinned() const { return pinned_; }
  void setPinned(bool pinned);
  bool copied() const { return copied_; }
  void setCopied(bool copied);

 Q_SIGNALS:
  void textChanged();
  void isMarkdownChanged();
  void countdownChanged();
  void pinnedChanged();
  void copiedChanged();

 private:
  QString text_;
  bool isMarkdown_ = false;
  int countdown_ = kCountdownSeconds;
  bool pinned_ = false;
  bool copied_ = false;
};
