#include "gnometexteditor.h"

#include "awaittask.h"
#include "testkeyboard.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace {

const QString kProgram = QStringLiteral("gnome-text-editor");

QString readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

GnomeTextEditor::~GnomeTextEditor() {
  if (process_.state() == QProcess::NotRunning) return;
  // Asked to close, it would ask about unsaved changes.
  process_.kill();
  process_.waitForFinished(5000);
}

bool GnomeTextEditor::isInstalled() { return !QStandardPaths::findExecutable(kProgram).isEmpty(); }

bool GnomeTextEditor::open(const QString& text, std::chrono::milliseconds timeout) {
  if (!folder_.isValid()) return false;
  QFile document(documentPath());
  if (!document.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  opened_ = text + QLatin1Char('\n');
  document.write(opened_.toUtf8());
  document.close();

  // A fresh user: no earlier session to bring back, settings in memory only.
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
    const QString folder = folder_.filePath(QString::fromLatin1(variable).toLower());
    QDir().mkpath(folder);
    environment.insert(QString::fromLatin1(variable), folder);
  }
  environment.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
  process_.setProcessEnvironment(environment);
  process_.setStandardOutputFile(QProcess::nullDevice());
  process_.setStandardErrorFile(folder_.filePath(QStringLiteral("stderr.log")));
  // Its own instance, not one already running on the session bus.
  process_.start(kProgram, {QStringLiteral("--standalone"), documentPath()});
  return process_.waitForStarted(static_cast<int>(timeout.count()));
}

bool GnomeTextEditor::selectWithKeys(int start, int length) {
  QStringList keys{QStringLiteral("key"), QStringLiteral("ctrl+Home")};
  for (int i = 0; i < start; ++i) keys << QStringLiteral("Right");
  for (int i = 0; i < length; ++i) keys << QStringLiteral("shift+Right");
  return TestKeyboard::run(keys);
}

std::optional<QString> GnomeTextEditor::saveAndRead(std::chrono::milliseconds timeout) {
  // A paste that is still on its way (the editor asks the clipboard's owner
  // for the text) lands after a save typed meanwhile: save until the file
  // shows a change.
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (!TestKeyboard::run({QStringLiteral("key"), QStringLiteral("ctrl+s")})) return std::nullopt;
    if (waitUntil([&] { return readFile(documentPath()) != opened_; }, std::chrono::seconds(1))) {
      return readFile(documentPath());
    }
  }
  return std::nullopt;
}

QString GnomeTextEditor::errors() const { return readFile(folder_.filePath(QStringLiteral("stderr.log"))); }
