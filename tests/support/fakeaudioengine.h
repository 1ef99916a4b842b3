#pragma once

#include "platform/audioengine.h"

#include <QPointer>

#include <thread>
#include <utility>
#include <vector>

// An audio engine that captures nothing itself: the test hands buffers to its
// tap (from another thread, as an audio thread) and announces configuration changes.
class FakeAudioEngine final : public AudioEngine {
 public:
  explicit FakeAudioEngine(AudioInputFormat format, bool failStart) : format_(format), failStart_(failStart) {}

  AudioInputFormat inputFormat() override { return format_; }
  bool start(int framesPerBuffer, Tap tap, QString* error) override {
    ++starts;
    if (failStart_ && error) *error = QStringLiteral("the fake refuses to start");
    if (failStart_) return false;
    framesPerBuffer_ = framesPerBuffer;
    tap_ = std::move(tap);
    return true;
  }
  // Like a real input, stop() first hands the tap what it still holds.
  void stop() override {
    ++stops;
    deliver(std::exchange(heldUntilStop, {}));
    tap_ = {};
  }
  bool isRunning() const override { return static_cast<bool>(tap_); }

  int framesPerBuffer() const { return framesPerBuffer_; }

  // Hands interleaved samples to the tap in buffers of the requested size, on
  // a thread of their own. False when the engine is not running.
  bool deliver(const std::vector<float>& samples) {
    if (!tap_) return false;
    std::thread([&] {
      const size_t step = static_cast<size_t>(framesPerBuffer_ * format_.channelCount);
      for (size_t start = 0; start < samples.size(); start += step) {
        const size_t count = std::min(step, samples.size() - start);
        tap_(AudioBuffer{format_.sampleRate, format_.channelCount, std::span<const float>(samples.data() + start, count)});
      }
    }).join();
    return true;
  }
  void announceConfigurationChange() { Q_EMIT configurationChanged(); }

  int starts = 0;
  int stops = 0;
  std::vector<float> heldUntilStop;  // captured, not yet handed over when stop() comes

 private:
  AudioInputFormat format_;
  bool failStart_;
  int framesPerBuffer_ = 0;
  Tap tap_;
};

// Makes the fake engines a recorder asks for and keeps track of them.
struct FakeAudioEngines {
  AudioInputFormat nextFormat{48000, 2};
  bool nextFailsToStart = false;
  std::vector<QPointer<FakeAudioEngine>> made;

  AudioEngine::Factory factory() {
    return [this] {
      auto engine = std::make_unique<FakeAudioEngine>(nextFormat, nextFailsToStart);
      made.emplace_back(engine.get());
      return engine;
    };
  }
  int count() const { return int(made.size()); }
  FakeAudioEngine* latest() const { return made.empty() ? nullptr : made.back().data(); }
};
