#include "pipeline/recordingtap.h"

#include "pipeline/audiolevel.h"
#include "platform/audioconverter.h"
#include "platform/wavwriter.h"

RecordingTap::RecordingTap(std::shared_ptr<WavWriter> file, std::unique_ptr<AudioConverter> converter,
                           LevelHandler onLevel)
    : file_(std::move(file)), converter_(std::move(converter)), onLevel_(std::move(onLevel)) {}

RecordingTap::~RecordingTap() = default;

void RecordingTap::processTapBuffer(const AudioBuffer& buffer) {
  // Measured on the hardware buffer, before conversion.
  const float level = computeAudioLevel(buffer);
  {
    std::lock_guard lock(mutex_);
    if (finished_) return;
    converted_.clear();
    // A buffer that does not convert, or a failed write, loses only itself.
    if (converter_->convert(buffer, converted_) && !converted_.empty()) {
      file_->append(converted_.data(), static_cast<qsizetype>(converted_.size()));
    }
  }
  if (onLevel_) onLevel_(level);
}

void RecordingTap::finish() {
  std::lock_guard lock(mutex_);
  if (finished_) return;
  finished_ = true;
  converted_.clear();
  converter_->flush(converted_);
  if (!converted_.empty()) file_->append(converted_.data(), static_cast<qsizetype>(converted_.size()));
}
