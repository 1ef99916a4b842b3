#include "soundserver.h"

#include "awaittask.h"
#include "testenvironment.h"

#include <QFile>
#include <QProcessEnvironment>

using namespace std::chrono_literals;

std::optional<QString> pactl(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral("pactl"), arguments);
  if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    return std::nullopt;
  }
  return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

PipeSource::PipeSource(QString name)
    : name_(std::move(name)), defaultBefore_(pactl({QStringLiteral("get-default-source")}).value_or(QString())) {
  module_ = pactl({QStringLiteral("load-module"), QStringLiteral("module-pipe-source"),
                   QStringLiteral("source_name=%1").arg(name_), QStringLiteral("file=%1").arg(pipe()),
                   QStringLiteral("format=s16le"), QStringLiteral("rate=48000"), QStringLiteral("channels=2")})
                .value_or(QString());
}

PipeSource::~PipeSource() {
  if (isLoaded()) pactl({QStringLiteral("unload-module"), module_});
  if (!defaultBefore_.isEmpty()) pactl({QStringLiteral("set-default-source"), defaultBefore_});
}

QString PipeSource::pipe() const { return TestEnvironment::root() + QLatin1Char('/') + name_ + QStringLiteral(".pipe"); }

bool PrivateSoundServer::start(const QString& source, int sampleRate, int channels) {
  kill();
  QFile::remove(pipe());
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));  // the desktop's own server holds the bus name
  server_.setProcessEnvironment(environment);
  server_.start(QStringLiteral("pulseaudio"),
                {QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disable-shm"),
                 QStringLiteral("--use-pid-file=no"), QStringLiteral("-n"), QStringLiteral("-L"),
                 QStringLiteral("module-native-protocol-unix socket=%1 auth-anonymous=1").arg(socket()),
                 QStringLiteral("-L"),
                 QStringLiteral("module-pipe-source source_name=%1 file=%2 format=s16le rate=%3 channels=%4")
                     .arg(source, pipe())
                     .arg(sampleRate)
                     .arg(channels)});
  return waitUntil([&] { return QFile::exists(socket()) && QFile::exists(pipe()); }, 10s);
}

void PrivateSoundServer::kill() {
  if (server_.state() == QProcess::NotRunning) return;
  server_.kill();
  server_.waitForFinished(5000);
  QFile::remove(socket());
}

QString PrivateSoundServer::socket() const { return TestEnvironment::root() + QStringLiteral("/run/private-pulse"); }

QString PrivateSoundServer::pipe() const { return TestEnvironment::root() + QStringLiteral("/run/private-mic.pipe"); }
