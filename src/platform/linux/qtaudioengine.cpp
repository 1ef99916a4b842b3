#include "platform/linux/qtaudioengine.h"

#include "platform/linux/qtaudiocapture.h"

#include <QMediaDevices>

QtAudioEngine::QtAudioEngine() : capture_(new QtAudioCapture), devices_(new QMediaDevices(this)) {
  thread_.setObjectName(QStringLiteral("audio"));
  capture_->moveToThread(&thread_);
  thread_.start(QThread::TimeCriticalPriority);
  connect(capture_, &QtAudioCapture::failed, this, [this] {
    running_ = false;
    format_ = {};  // the next inputFormat() opens the input afresh
    Q_EMIT configurationChanged();
  });
  connect(devices_, &QMediaDevices::audioInputsChanged, this, &QtAudioEngine::checkDefaultInput);
}

QtAudioEngine::~QtAudioEngine() {
  QMetaObject::invokeMethod(capture_, [capture = capture_] { capture->close(); }, Qt::BlockingQueuedConnection);
  thread_.quit();
  thread_.wait();
  delete capture_;
}

AudioInputFormat QtAudioEngine::inputFormat() {
  if (running_) return format_;
  const QAudioDevice device = QMediaDevices::defaultAudioInput();
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

void QtAudioEngine::checkDefaultInput() {
  if (device_.isNull()) return;
  if (QMediaDevices::defaultAudioInput().id() != device_.id()) Q_EMIT configurationChanged();
}
