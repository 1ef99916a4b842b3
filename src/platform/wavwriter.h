#pragma once

#include <QFile>
#include <QString>
#include <QtGlobal>

// Writes a RIFF/WAVE file of 16-bit little-endian PCM samples.
//
// The header goes out with zero sizes when the file is opened and is patched
// with the real sizes when it is closed, so a writer that stays open across
// an input change keeps one consistent file. A new file is always made: an
// existing file is never opened over.
class WavWriter {
 public:
  WavWriter() = default;
  ~WavWriter();  // closes
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  // Creates `path` (mode 0600) and writes the header. False, with the reason in
  // `error`, when the file cannot be made.
  bool open(const QString& path, int sampleRate, int channelCount, QString* error = nullptr);

  // Appends interleaved samples. False when the write failed.
  bool append(const qint16* samples, qsizetype count);

  // Patches the header and closes the file; false when that failed. Harmless
  // when not open.
  bool close();

  bool isOpen() const { return file_.isOpen(); }
  QString path() const { return file_.fileName(); }
  qint64 samplesWritten() const { return samplesWritten_; }

 private:
  QByteArray header(quint32 dataBytes) const;

  QFile file_;
  int sampleRate_ = 0;
  int channelCount_ = 0;
  qint64 samplesWritten_ = 0;
};
