#include "service/multipartbody.h"

#include "service/jsoncoding.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QUuid>

namespace {

constexpr char kCrlf[] = "\r\n";

QByteArray openingLine(const QString& boundary) { return "--" + boundary.toUtf8() + kCrlf; }

// The file name goes between double quotes in a header line: a quote or a line
// break in it would end the header early and corrupt the form, so those three
// characters are percent-encoded the way browsers do. Names the recorder makes
// never contain them and go out unchanged.
QByteArray quotedFileName(const QString& fileName) {
  QByteArray name = fileName.toUtf8();
  name.replace('"', "%22").replace('\r', "%0D").replace('\n', "%0A");
  return name;
}

std::optional<QByteArray> readWholeFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray content = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return content;
}

}  // namespace

QString newMultipartBoundary() { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(); }

QString audioMimeType(const QString& fileName) {
  const QString extension = QFileInfo(fileName).suffix().toLower();
  if (extension == QLatin1String("wav")) return QStringLiteral("audio/wav");
  if (extension == QLatin1String("flac")) return QStringLiteral("audio/flac");
  if (extension == QLatin1String("m4a")) return QStringLiteral("audio/m4a");
  return QStringLiteral("application/octet-stream");
}

std::optional<QString> openClawStatusFormValue(OpenClawStatus status) {
  switch (status) {
    case OpenClawStatus::unknown: return std::nullopt;
    case OpenClawStatus::notInstalled: return QStringLiteral("not_installed");
    case OpenClawStatus::installedServiceDown: return QStringLiteral("service_down");
    case OpenClawStatus::ready: return QStringLiteral("installed");
  }
  return std::nullopt;
}

void appendFormField(QByteArray& body, const QString& name, const QString& value, const QString& boundary) {
  body += openingLine(boundary);
  body += "Content-Disposition: form-data; name=\"" + name.toUtf8() + '"' + kCrlf;
  body += kCrlf;
  body += value.toUtf8() + kCrlf;
}

QByteArray buildMultipartBody(const QString& audioPath, const QString& operation,
                              const std::optional<QString>& selectedText,
                              const std::optional<QStringList>& clipboardHistory,
                              const std::optional<QString>& openClawStatus, const QString& boundary) {
  const std::optional<QByteArray> audio = readWholeFile(audioPath);

  QByteArray body;
  // One allocation for the whole form: the recording dominates its size.
  body.reserve((audio ? audio->size() : 0) + 4096 + (selectedText ? selectedText->size() * 3 : 0));

  appendFormField(body, QStringLiteral("operation"), operation, boundary);
  if (selectedText) appendFormField(body, QStringLiteral("selected_text"), *selectedText, boundary);
  if (clipboardHistory && !clipboardHistory->isEmpty()) {
    const QByteArray json = encodeCompactJson(QJsonArray::fromStringList(*clipboardHistory));
    appendFormField(body, QStringLiteral("clipboard_history"), QString::fromUtf8(json), boundary);
  }
  if (openClawStatus) appendFormField(body, QStringLiteral("openclaw_status"), *openClawStatus, boundary);

  if (audio) {
    QString fileName = QFileInfo(audioPath).fileName();
    if (fileName.isEmpty()) fileName = QStringLiteral("audio.wav");
    body += openingLine(boundary);
    body += "Content-Disposition: form-data; name=\"file\"; filename=\"" + quotedFileName(fileName) + '"' + kCrlf;
    body += "Content-Type: " + audioMimeType(fileName).toUtf8() + kCrlf;
    body += kCrlf;
    body += *audio;
    body += kCrlf;
  }

  body += "--" + boundary.toUtf8() + "--" + kCrlf;
  return body;
}
