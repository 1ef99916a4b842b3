#include "desktopeditor.h"

#include "awaittask.h"
#include "testkeyboard.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

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
    case Program::emacs: {
      const QString server = QStringLiteral("(progn (setq server-socket-dir \"%1\") (server-start))").arg(folder_.path());
      process_.start(QStringLiteral("emacs"), {QStringLiteral("-Q"), QStringLiteral("--eval"), server, documentPath()});
      break;
    }
    case Program::gvim:  // in the foreground, as the test's child
      process_.start(QStringLiteral("gvim"), {QStringLiteral("-f"), QStringLiteral("--servername"), serverName(),
                                               documentPath()});
      break;
    case Program::xedit: process_.start(QStringLiteral("xedit"), {documentPath()}); break;
    case Program::nedit: process_.start(QStringLiteral("nedit"), {documentPath()}); break;
    case Program::abiword: process_.start(QStringLiteral("abiword"), {documentPath()}); break;
  }
  return process_.waitForStarted(20000);
}

std::optional<QString> DesktopEditor::saveAndRead() {
  if (program_ == Program::gvim) {  // the buffer as it is, unsaved: :w would leave Insert mode
    std::optional<QString> text;
    const bool changed = waitUntil([&] {
      text = evaluate(QStringLiteral("join(getline(1, '$'), \"\\n\") . \"\\n\""));
      return text && *text != opened_;
    }, std::chrono::seconds(10));
    return changed ? text : std::nullopt;
  }
  // xedit's Control+S searches; it saves on Control+X Control+S, as Emacs does.
  const bool controlX = program_ == Program::emacs || program_ == Program::xedit;
  const QStringList save = controlX ? QStringList{QStringLiteral("ctrl+x"), QStringLiteral("ctrl+s")}
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

QString DesktopEditor::serverName() const {
  return QStringLiteral("VELTRINE-TEST-%1").arg(QCoreApplication::applicationPid());
}

std::optional<QString> DesktopEditor::evaluate(const QString& expression) {
  // The event loop runs meanwhile: the editor may be waiting for a paste
  // from this process before it answers. A call made while one is under way
  // (from a check polled by that loop) gets no answer.
  static bool underWay = false;
  if (underWay) return std::nullopt;
  underWay = true;
  QProcess client;
  QEventLoop loop;
  QObject::connect(&client, &QProcess::finished, &loop, &QEventLoop::quit);
  QObject::connect(&client, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
  QTimer::singleShot(5000, &loop, &QEventLoop::quit);
  if (program_ == Program::emacs) {
    client.start(QStringLiteral("emacsclient"), {QStringLiteral("--socket-name"), folder_.filePath(QStringLiteral("server")),
                                                 QStringLiteral("--eval"), expression});
  } else {
    client.start(QStringLiteral("gvim"), {QStringLiteral("--servername"), serverName(), QStringLiteral("--remote-expr"),
                                          expression});
  }
  loop.exec();
  underWay = false;
  if (client.state() != QProcess::NotRunning) {
    client.kill();
    client.waitForFinished(1000);
    return std::nullopt;
  }
  if (client.exitStatus() != QProcess::NormalExit || client.exitCode() != 0) return std::nullopt;
  QString answer = QString::fromUtf8(client.readAllStandardOutput());
  if (answer.endsWith(QLatin1Char('\n'))) answer.chop(1);  // the clients end their answer with a line break
  return answer;
}
