#include "desktopeditor.h"

#include "awaittask.h"
#include "testkeyboard.h"

#include <QFile>

namespace {

QString readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

DesktopEditor::~DesktopEditor() {
  // Asked to close, it would ask about unsaved changes.
  process_.kill();
  process_.waitForFinished(5000);
}

bool DesktopEditor::open(const QString& text) {
  QFile document(documentPath());
  if (!folder_.isValid() || !document.open(QIODevice::WriteOnly)) return false;
  opened_ = text.isEmpty() ? text : text + QLatin1Char('\n');
  document.write(opened_.toUtf8());
  document.close();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));  // no earlier user's settings
  process_.setProcessEnvironment(environment);
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  switch (program_) {
    case Program::gnomeTextEditor:  // its own instance, not one already running on the session bus
      process_.start(QStringLiteral("gnome-text-editor"), {QStringLiteral("--standalone"), documentPath()});
      break;
    case Program::mousepad: process_.start(QStringLiteral("mousepad"), {documentPath()}); break;
    case Program::featherpad: process_.start(QStringLiteral("featherpad"), {documentPath()}); break;
    case Program::emacs: process_.start(QStringLiteral("emacs"), {QStringLiteral("-Q"), documentPath()}); break;
    case Program::nedit: process_.start(QStringLiteral("nedit"), {documentPath()}); break;
    case Program::abiword: process_.start(QStringLiteral("abiword"), {documentPath()}); break;
  }
  return process_.waitForStarted(20000);
}

std::optional<QString> DesktopEditor::saveAndRead() {
  const QStringList save = program_ == Program::emacs ? QStringList{QStringLiteral("ctrl+x"), QStringLiteral("ctrl+s")}
                                                      : QStringList{QStringLiteral("ctrl+s")};
  // A paste still on its way (the editor asks the clipboard's owner for the
  // text) lands after a save typed meanwhile: save until the file changes.
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (!TestKeyboard::run(QStringList{QStringLiteral("key")} + save)) return std::nullopt;
    if (waitUntil([&] { return readFile(documentPath()) != opened_; }, std::chrono::seconds(1))) {
      return readFile(documentPath());
    }
  }
  return std::nullopt;
}
