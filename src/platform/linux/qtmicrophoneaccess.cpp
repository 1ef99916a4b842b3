#include "platform/linux/qtmicrophoneaccess.h"

#include <QAudioSource>
#include <QMediaDevices>

MicrophoneAccess::Authorization QtMicrophoneAccess::authorizationStatus() {
  const QAudioDevice device = QMediaDevices::defaultAudioInput();
  if (device.isNull()) return Authorization::denied;
  // Opening is the only real test: a listed device can still be busy, gone or
  // refused by the sound server. The source is closed again at once.
  QAudioSource source(device, device.preferredFormat());
  const QIODevice* io = source.start();
  const bool opened = io != nullptr && source.error() == QAudio::NoError;
  source.stop();
  return opened ? Authorization::authorized : Authorization::denied;
}

QCoro::Task<bool> QtMicrophoneAccess::requestAccess() { co_return authorizationStatus() == Authorization::authorized; }
