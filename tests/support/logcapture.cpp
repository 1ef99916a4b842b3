#include "logcapture.h"

#include <QLoggingCategory>
#include <QStringList>

#include <algorithm>

namespace {
LogCapture* active = nullptr;
}

LogCapture::LogCapture() {
  // Debug messages are part of what is checked.
  QLoggingCategory::setFilterRules(QStringLiteral("vorlix.voice-input.*=true"));
  active = this;
  previous_ = qInstallMessageHandler(&LogCapture::handle);
}

LogCapture::~LogCapture() {
  qInstallMessageHandler(previous_);
  active = nullptr;
}

void LogCapture::handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (active) active->messages_.append({type, QString::fromUtf8(context.category), text});
}

QStringList LogCapture::texts(const QString& category) const {
  QStringList found;
  for (const Message& message : messages_)
    if (message.category.endsWith(QLatin1Char('.') + category)) found.append(message.text);
  return found;
}

bool LogCapture::contains(const QString& category, QtMsgType type, const QString& text) const {
  return std::any_of(messages_.cbegin(), messages_.cend(), [&](const Message& message) {
    return message.type == type && message.category.endsWith(QLatin1Char('.') + category) && message.text == text;
  });
}
