#include "wavfile.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

std::optional<WavFile> WavFile::read(const QString& path) {
  QFile file(path);
  const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  if (bytes.size() < 44) return std::nullopt;
  WavFile wav{bytes.left(44), qFromLittleEndian<quint32>(bytes.constData() + 40), bytes.size(), {}};
  for (qsizetype i = 44; i + 1 < bytes.size(); i += 2) wav.samples.push_back(qFromLittleEndian<qint16>(bytes.constData() + i));
  return wav;
}

bool WavFile::isValid16kMono() const {
  const auto le = [](qint64 value, int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) bytes[i] = char(value >> (8 * i));
    return bytes;
  };
  return header == "RIFF" + le(fileSize - 8, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(16000, 4) +
                       le(32000, 4) + le(2, 2) + le(16, 2) + "data" + le(fileSize - 44, 4);
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
