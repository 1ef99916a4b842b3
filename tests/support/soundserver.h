#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>

// Runs pactl against the sound server of the environment (the test desktop's,
// or the one PULSE_SERVER names): its output, or nothing when it failed.
std::optional<QString> pactl(const QStringList& arguments);

// One more pipe microphone on the test desktop's sound server, for the life of
// the object, in TestMicrophone's format (48 kHz stereo); a
// TestMicrophone(pipe()) plays into it.
class PipeSource {
 public:
  explicit PipeSource(QString name);
  // Unloads it and makes the default of before the default again: the server
  // would otherwise take the next source of this name as the default.
  ~PipeSource();

  bool isLoaded() const { return !module_.isEmpty(); }
  const QString& name() const { return name_; }
  QString pipe() const;

 private:
  QString name_;
  QString module_;
  QString defaultBefore_;
};

// A sound server of the test's own, with one pipe microphone, that the test
// may kill and start again; it leaves the desktop's server alone. Point
// PULSE_SERVER at socket() (in a fresh process: Qt connects only once).
class PrivateSoundServer {
 public:
  ~PrivateSoundServer() { kill(); }

  // Starts the server with the pipe microphone `source` in the given format;
  // true once its socket and the pipe are there.
  bool start(const QString& source, int sampleRate, int channels);
  void kill();

  QString socket() const;
  QString pipe() const;

 private:
  QProcess server_;
};
