#include "platform/wavwriter.h"

#include <QtEndian>

#include <algorithm>
#include <limits>

namespace {

constexpr int kBitsPerSample = 16;
constexpr int kHeaderBytes = 44;

void putText(QByteArray& out, const char (&text)[5]) { out.append(text, 4); }
void put32(QByteArray& out, quint32 value) {
  const quint32 little = qToLittleEndian(value);
  out.append(reinterpret_cast<const char*>(&little), 4);
}
void put16(QByteArray& out, quint16 value) {
  const quint16 little = qToLittleEndian(value);
  out.append(reinterpret_cast<const char*>(&little), 2);
}

}  // namespace

WavWriter::~WavWriter() { close(); }

bool WavWriter::open(const QString& path, int sampleRate, int channelCount, QString* error) {
  close();
  samplesWritten_ = 0;
  sampleRate_ = sampleRate;
  channelCount_ = channelCount;
  file_.setFileName(path);
  if (path.isEmpty() || sampleRate <= 0 || channelCount <= 0 ||
      !file_.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
    if (error) *error = path.isEmpty() ? QStringLiteral("no file name") : file_.errorString();
    return false;
  }
  if (file_.write(header(0)) != kHeaderBytes) {
    if (error) *error = file_.errorString();
    file_.close();
    return false;
  }
  return true;
}

bool WavWriter::append(const qint16* samples, qsizetype count) {
  if (!file_.isOpen() || count <= 0) return file_.isOpen();
  const auto bytes = static_cast<qint64>(count) * 2;
  qint64 written = 0;
  if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
    written = file_.write(reinterpret_cast<const char*>(samples), bytes);
  } else {
    QByteArray little(bytes, Qt::Uninitialized);
    qToLittleEndian<qint16>(samples, count, little.data());
    written = file_.write(little);
  }
  if (written > 0) samplesWritten_ += written / 2;
  return written == bytes;
}

bool WavWriter::close() {
  if (!file_.isOpen()) return true;
  // RIFF sizes are 32-bit; a longer file (over 18 hours at 16 kHz) keeps the
  // largest size the header can say.
  const qint64 dataBytes = std::min<qint64>(samplesWritten_ * 2, std::numeric_limits<quint32>::max() - kHeaderBytes);
  bool ok = file_.seek(0) && file_.write(header(static_cast<quint32>(dataBytes))) == kHeaderBytes;
  ok = file_.flush() && ok;
  file_.close();
  return ok && file_.error() == QFileDevice::NoError;
}

QByteArray WavWriter::header(quint32 dataBytes) const {
  QByteArray out;
  out.reserve(kHeaderBytes);
  const auto blockAlign = static_cast<quint16>(channelCount_ * kBitsPerSample / 8);
  putText(out, "RIFF");
  put32(out, 36 + dataBytes);
  putText(out, "WAVE");
  putText(out, "fmt ");
  put32(out, 16);  // size of the PCM format chunk
  put16(out, 1);   // PCM
  put16(out, static_cast<quint16>(channelCount_));
  put32(out, static_cast<quint32>(sampleRate_));
  put32(out, static_cast<quint32>(sampleRate_) * blockAlign);
  put16(out, blockAlign);
  put16(out, kBitsPerSample);
  putText(out, "data");
  put32(out, dataBytes);
  return out;
}
