#include "gnometexteditor.h"

#include "awaittask.h"
#include "testkeyboard.h"

#include <QFile>

namespace {

QString readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

GnomeTextEditor::~GnomeTextEditor() {
  // Asked to close, it would ask about unsaved changes.
  process_.kill();
  process_.waitForFinished(5000);
}

bool GnomeTextEditor::open(const QString& text) {
  QFile document(documentPath());
  if (!folder_.isValid() || !document.open(QIODevice::WriteOnly)) return false;
  opened_ = text + QLatin1Char('\n');
  document.write(opened_.toUtf8());
  document.close();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));  // no earlier user's settings
  process_.setProcessEnvironment(environment);
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  // Its own instance, not one already running on the session bus.
  process_.start(QStringLiteral("gnome-text-editor"), {QStringLiteral("--standalone"), documentPath()});
  return process_.waitForStarted(20000);
}

bool GnomeTextEditor::selectWithKeys(int start, int length) {
  QStringList keys{QStringLiteral("key"), QStringLiteral("ctrl+Home")};
  for (int i = 0; i < start; ++i) keys << QStringLiteral("Right");
  for (int i = 0; i < length; ++i) keys << QStringLiteral("shift+Right");
  return TestKeyboard::run(keys);
}

std::optional<QString> GnomeTextEditor::saveAndRead() {
  // A paste still on its way (the editor asks the clipboard's owner for the
  // text) lands after a save typed meanwhile: save until the file changes.
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (!TestKeyboard::run({QStringLiteral("key"), QStringLiteral("ctrl+s")})) return std::nullopt;
    if (waitUntil([&] { return readFile(documentPath()) != opened_; }, std::chrono::seconds(1))) {
      return readFile(documentPath());
    }
  }
  return std::nullopt;
}
