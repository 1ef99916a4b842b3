#include "platform/audioengine.h"

#include <mutex>

namespace {

// The engine of a machine without audio: no input, nothing ever starts.
class NoAudioEngine final : public AudioEngine {
 public:
  AudioInputFormat inputFormat() override { return {}; }
  bool start(int, Tap, QString* error) override {
    if (error) *error = QStringLiteral("no audio input is set up");
    return false;
  }
  void stop() override {}
  bool isRunning() const override { return false; }
};

std::mutex factoryMutex;
AudioEngine::Factory& installedFactory() {
  static AudioEngine::Factory factory;
  return factory;
}

}  // namespace

AudioEngine::Factory AudioEngine::factory() {
  return [] { return create(); };
}

std::unique_ptr<AudioEngine> AudioEngine::create() {
  Factory factory;
  {
    std::lock_guard lock(factoryMutex);
    factory = installedFactory();
  }
  if (factory) {
    if (auto engine = factory()) return engine;
  }
  return std::make_unique<NoAudioEngine>();
}

void AudioEngine::installFactory(Factory factory) {
  std::lock_guard lock(factoryMutex);
  installedFactory() = std::move(factory);
}
