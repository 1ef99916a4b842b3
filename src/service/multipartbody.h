#pragma once

#include "openclaw/openclawstatus.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The multipart form of the audio upload, built whole in memory:
//
//   "operation", then "selected_text" (whenever a selection is given, even an
//   empty one), "clipboard_history" (a compact JSON array, only when there is
//   at least one text), "openclaw_status" (only when the agent's status is
//   known), then "file" with the recording, and the closing line.
//
// Every line ends in CRLF; texts are UTF-8 and written as they are.

// A fresh boundary for each upload: an upper-case UUID, 36 characters.
QString newMultipartBoundary();

// The Content-Type of the file part, by the extension in lower case: "wav",
// "flac", "m4a" have their audio types, anything else "application/octet-stream".
QString audioMimeType(const QString& fileName);

// What the form says of the local agent: nothing while `unknown`, else
// "not_installed", "service_down" or "installed".
std::optional<QString> openClawStatusFormValue(OpenClawStatus status);

// Appends one text part.
void appendFormField(QByteArray& body, const QString& name, const QString& value, const QString& boundary);

// The whole body. Never fails: a part that cannot be made is left out (an
// unreadable audio file sends the form without its file part, and the
// service's answer decides).
QByteArray buildMultipartBody(const QString& audioPath, const QString& operation,
                              const std::optional<QString>& selectedText,
                              const std::optional<QStringList>& clipboardHistory,
                              const std::optional<QString>& openClawStatus, const QString& boundary);
