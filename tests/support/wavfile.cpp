#include "wavfile.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

quint32 read32(const char* data) { return qFromLittleEndian<quint32>(data); }
quint16 read16(const char* data) { return qFromLittleEndian<quint16>(data); }

}  // namespace

std::optional<WavFile> WavFile::read(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  if (bytes.size() < 44) return std::nullopt;
  const char* d = bytes.constData();
  WavFile wav;
  wav.fileSize = bytes.size();
  wav.riffTag = bytes.mid(0, 4);
  wav.riffSize = read32(d + 4);
  wav.waveTag = bytes.mid(8, 4);
  wav.fmtTag = bytes.mid(12, 4);
  wav.audioFormat = read16(d + 20);
  wav.channelCount = read16(d + 22);
  wav.sampleRate = read32(d + 24);
  wav.byteRate = read32(d + 28);
  wav.blockAlign = read16(d + 32);
  wav.bitsPerSample = read16(d + 34);
  wav.dataTag = bytes.mid(36, 4);
  wav.dataSize = read32(d + 40);
  const qsizetype count = (bytes.size() - 44) / 2;
  wav.samples.resize(static_cast<size_t>(count));
  for (qsizetype i = 0; i < count; ++i) wav.samples[static_cast<size_t>(i)] = qFromLittleEndian<qint16>(d + 44 + i * 2);
  return wav;
}

bool WavFile::isValid16kMono() const {
  return riffTag == "RIFF" && waveTag == "WAVE" && fmtTag == "fmt " && dataTag == "data" && audioFormat == 1 &&
         channelCount == 1 && sampleRate == 16000 && bitsPerSample == 16 && blockAlign == 2 && byteRate == 32000 &&
         dataSize == fileSize - 44 && riffSize == fileSize - 8;
}

namespace SignalAnalysis {

double rms(const std::vector<qint16>& samples, size_t from, size_t to) {
  to = std::min(to, samples.size());
  if (from >= to) return 0.0;
  double sum = 0.0;
  for (size_t i = from; i < to; ++i) sum += (samples[i] / 32768.0) * (samples[i] / 32768.0);
  return std::sqrt(sum / static_cast<double>(to - from));
}

double frequency(const std::vector<qint16>& samples, int sampleRate, size_t from, size_t to) {
  to = std::min(to, samples.size());
  size_t first = 0, last = 0;
  int crossings = 0;
  for (size_t i = from + 1; i < to; ++i) {
    if (samples[i - 1] < 0 && samples[i] >= 0) {
      if (crossings == 0) first = i;
      last = i;
      ++crossings;
    }
  }
  if (crossings < 2) return 0.0;
  return (crossings - 1) * static_cast<double>(sampleRate) / static_cast<double>(last - first);
}

std::vector<float> tone(double frequencyHz, int sampleRate, int channelCount, size_t frames, double amplitude,
                        size_t startFrame) {
  std::vector<float> out(frames * static_cast<size_t>(channelCount));
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(startFrame + i) / sampleRate;
    const auto value = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * frequencyHz * t));
    for (int c = 0; c < channelCount; ++c) out[i * static_cast<size_t>(channelCount) + static_cast<size_t>(c)] = value;
  }
  return out;
}

}  // namespace SignalAnalysis
