#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// The log messages written while it lives (every category and level).
class LogCapture {
 public:
  struct Message {
    QtMsgType type;
    QString category;
    QString text;
  };

  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  const QList<Message>& messages() const { return messages_; }
  // The texts logged under the category ending in `category` ("Selection").
  QStringList texts(const QString& category) const;
  bool contains(const QString& category, QtMsgType type, const QString& text) const;

 private:
  static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text);

  QList<Message> messages_;
  QtMessageHandler previous_;
};
