#include "platform/linux/qtaudioengine.h"

#include "core/logging.h"
#include "platform/linux/qtaudiocapture.h"

#include <QMediaDevices>

QtAudioEngine::QtAudioEngine(SoundServerWatcher& soundServer) : capture_(new QtAudioCapture), soundServer_(&soundServer) {
  thread_.setObjectName(QStringLiteral("audio"));
  capture_->moveToThread(&thread_);
  thread_.start(QThread::TimeCriticalPriority);
  connect(capture_, &QtAudioCapture::failed, this, [this] {
    qCWarning(lcAudioRecorder, "the input \"%s\" failed while capturing", qUtf8Printable(device_.description()));
    running_ = false;
    format_ = {};  // the next inputFormat() opens the input afresh
    Q_EMIT configurationChanged();
  });
  connect(&soundServer, &SoundServerWatcher::defaultSourceChanged, this, &QtAudioEngine::followDefaultSource);
  connect(&soundServer, &SoundServerWatcher::sourceRemoved, this, &QtAudioEngine::noticeRemovedSource);
}

QtAudioEngine::~QtAudioEngine() {
  QMetaObject::invokeMethod(capture_, [capture = capture_] { capture->close(); }, Qt::BlockingQueuedConnection);
  thread_.quit();
  thread_.wait();
  delete capture_;
}

AudioInputFormat QtAudioEngine::inputFormat() {
  if (running_) return format_;
  const QAudioDevice device = defaultInput();
  if (device.isNull()) {
    device_ = {};
    format_ = {};
    return format_;
  }
  if (device.id() != device_.id() || !format_.isValid()) {
    const QAudioFormat preferred = device.preferredFormat();
    device_ = device;
    format_ = {preferred.sampleRate(), preferred.channelCount()};
    if (format_.isValid()) {
      QMetaObject::invokeMethod(
          capture_, [capture = capture_, device, preferred] { capture->open(device, preferred); },
          Qt::BlockingQueuedConnection);
    }
  }
  return format_;
}

bool QtAudioEngine::start(int framesPerBuffer, Tap tap, QString* error) {
  if (running_) {
    if (error) *error = QStringLiteral("already running");
    return false;
  }
  if (!inputFormat().isValid()) {
    if (error) *error = QStringLiteral("no audio input device");
    return false;
  }
  bool started = false;
  QString reason;
  QMetaObject::invokeMethod(
      capture_,
      [&] { started = capture_->start(framesPerBuffer, std::move(tap), &reason); },
      Qt::BlockingQueuedConnection);
  if (!started && error) *error = reason;
  running_ = started;
  return started;
}

void QtAudioEngine::stop() {
  QMetaObject::invokeMethod(capture_, [capture = capture_] { capture->stop(); }, Qt::BlockingQueuedConnection);
  running_ = false;
}

bool QtAudioEngine::isRunning() const { return running_; }

quint64 QtAudioEngine::capturedFrames() const { return capture_->capturedFrames(); }

QAudioDevice QtAudioEngine::defaultInput() const {
  const QString name = soundServer_ ? soundServer_->defaultSource() : QString();
  if (!name.isEmpty()) {
    const QByteArray id = name.toUtf8();
    for (const QAudioDevice& input : QMediaDevices::audioInputs()) {
      if (input.id() == id) return input;
    }
  }
  // Not known yet, or a source Qt does not list (a speaker's monitor).
  return QMediaDevices::defaultAudioInput();
}

void QtAudioEngine::followDefaultSource(const QString& name) {
  if (name.isEmpty() || name.toUtf8() == device_.id()) return;
  qCInfo(lcAudioRecorder, "the default input is now \"%s\"", qUtf8Printable(name));
  Q_EMIT configurationChanged();
}

void QtAudioEngine::noticeRemovedSource(const QString& name) {
  if (device_.isNull() || name.toUtf8() != device_.id()) return;
  qCWarning(lcAudioRecorder, "the input \"%s\" went away", qUtf8Printable(device_.description()));
  format_ = {};  // whatever the server moved the stream to is not what the user chose
  Q_EMIT configurationChanged();
}
