#include "platform/linux/qtaudioengine.h"

#include "core/logging.h"
#include "platform/linux/qtaudiocapture.h"

#include <QMediaDevices>

#include <algorithm>
#include <chrono>

namespace {

// How soon a device that went away is noticed. Until then the moved stream's
// sound (perhaps a speaker's monitor) still reaches the recording; the check
// itself only copies the device list Qt keeps.
constexpr std::chrono::milliseconds kPresenceCheckInterval{100};

}  // namespace

QtAudioEngine::QtAudioEngine() : capture_(new QtAudioCapture), devices_(new QMediaDevices(this)) {
  thread_.setObjectName(QStringLiteral("audio"));
  capture_->moveToThread(&thread_);
  thread_.start(QThread::TimeCriticalPriority);
  presenceCheck_.setInterval(kPresenceCheckInterval);
  connect(&presenceCheck_, &QTimer::timeout, this, &QtAudioEngine::checkInputPresent);
  connect(capture_, &QtAudioCapture::failed, this, [this] {
    qCWarning(lcAudioRecorder, "the input \"%s\" failed while capturing", qUtf8Printable(device_.description()));
    presenceCheck_.stop();
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
  if (started) presenceCheck_.start();
  return started;
}

void QtAudioEngine::stop() {
  presenceCheck_.stop();
  QMetaObject::invokeMethod(capture_, [capture = capture_] { capture->stop(); }, Qt::BlockingQueuedConnection);
  running_ = false;
}

bool QtAudioEngine::isRunning() const { return running_; }

quint64 QtAudioEngine::capturedFrames() const { return capture_->capturedFrames(); }

void QtAudioEngine::checkDefaultInput() {
  if (device_.isNull()) return;
  if (QMediaDevices::defaultAudioInput().id() != device_.id()) Q_EMIT configurationChanged();
}

void QtAudioEngine::checkInputPresent() {
  const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
  const bool present =
      std::any_of(inputs.cbegin(), inputs.cend(), [&](const QAudioDevice& input) { return input.id() == device_.id(); });
  if (present) return;
  presenceCheck_.stop();  // one notice per lost device
  qCWarning(lcAudioRecorder, "the input \"%s\" went away while capturing", qUtf8Printable(device_.description()));
  Q_EMIT configurationChanged();
}
