#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// A RIFF/WAVE file as read back by the tests, without trusting the writer
// under test: its 44-byte header as stored and the 16-bit samples after it.
struct WavFile {
  QByteArray header;
  quint32 dataSize = 0;  // as the header says
  qint64 fileSize = 0;
  std::vector<qint16> samples;

  static std::optional<WavFile> read(const QString& path);  // nothing when shorter than a header

  // The header says 16 kHz mono 16-bit PCM and its sizes match the file.
  bool isValid16kMono() const;
  double durationSeconds() const { return double(samples.size()) / 16000; }
};

// Simple measures of a mono signal.
namespace SignalAnalysis {

// Root mean square relative to full scale (1.0).
double rms(const std::vector<qint16>& samples, size_t from = 0, size_t to = SIZE_MAX);
// The frequency estimated from the upward zero crossings.
double frequency(const std::vector<qint16>& samples, int sampleRate, size_t from = 0, size_t to = SIZE_MAX);
// Interleaved float samples of a sine tone, for feeding converters and taps.
std::vector<float> tone(double frequencyHz, int sampleRate, int channelCount, size_t frames, double amplitude,
                        size_t startFrame = 0);

}  // namespace SignalAnalysis
