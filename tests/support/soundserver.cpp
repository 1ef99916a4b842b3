#include "soundserver.h"

#include "awaittask.h"
#include "testenvironment.h"

#include <QFile>

std::optional<QString> pactl(const QStringList& arguments) {
  QProcess process;
  process.start(u"pactl"_qs, arguments);
  if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    return std::nullopt;
  }
  return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

PipeSource::PipeSource(QString name)
    : name_(std::move(name)), defaultBefore_(pactl({u"get-default-source"_qs}).value_or(QString())) {
  module_ = pactl({u"load-module"_qs, u"module-pipe-source"_qs, u"source_name="_qs + name_, u"file="_qs + pipe(),
                   u"format=s16le"_qs, u"rate=48000"_qs, u"channels=2"_qs})
                .value_or(QString());
}

PipeSource::~PipeSource() {
  if (isLoaded()) pactl({u"unload-module"_qs, module_});
  if (!defaultBefore_.isEmpty()) pactl({u"set-default-source"_qs, defaultBefore_});
}

QString PipeSource::pipe() const { return TestEnvironment::root() + u'/' + name_ + u".pipe"_qs; }

bool PrivateSoundServer::start(const QString& source, int sampleRate, int channels) {
  kill();
  QFile::remove(pipe());
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(u"DBUS_SESSION_BUS_ADDRESS"_qs);  // the desktop's own server holds the bus name
  server_.setProcessEnvironment(environment);
  server_.start(u"pulseaudio"_qs,
                {u"--daemonize=no"_qs, u"--exit-idle-time=-1"_qs, u"--disable-shm"_qs, u"--use-pid-file=no"_qs, u"-n"_qs,
                 u"-L"_qs, u"module-native-protocol-unix socket=%1 auth-anonymous=1"_qs.arg(socket()), u"-L"_qs,
                 u"module-pipe-source source_name=%1 file=%2 format=s16le rate=%3 channels=%4"_qs.arg(source, pipe())
                     .arg(sampleRate)
                     .arg(channels)});
  return waitUntil([&] { return QFile::exists(socket()) && QFile::exists(pipe()); }, std::chrono::seconds(10));
}

void PrivateSoundServer::kill() {
  server_.kill();
  server_.waitForFinished(5000);
  QFile::remove(socket());
}

QString PrivateSoundServer::socket() const { return TestEnvironment::root() + u"/run/private-pulse"_qs; }

QString PrivateSoundServer::pipe() const { return TestEnvironment::root() + u"/run/private-mic.pipe"_qs; }
