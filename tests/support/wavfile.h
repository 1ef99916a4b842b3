#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// A RIFF/WAVE file as read back by the tests: the header fields as stored and
// the 16-bit samples, without trusting the writer under test.
struct WavFile {
  QByteArray riffTag, waveTag, fmtTag, dataTag;
  quint32 riffSize = 0;
  quint16 audioFormat = 0;
  quint16 channelCount = 0;
  quint32 sampleRate = 0;
  quint32 byteRate = 0;
  quint16 blockAlign = 0;
  quint16 bitsPerSample = 0;
  quint32 dataSize = 0;
  qint64 fileSize = 0;
  std::vector<qint16> samples;  // from the bytes after the 44-byte header

  // Nothing when the file is missing or shorter than a header.
  static std::optional<WavFile> read(const QString& path);

  // The header says 16 kHz mono 16-bit PCM and its sizes match the file.
  bool isValid16kMono() const;
  double durationSeconds() const { return sampleRate ? double(samples.size()) / channelCount / sampleRate : 0.0; }
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
