#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>

// Runs pactl against the sound server of the environment (the test desktop's,
// or the one PULSE_SERVER names): its output, or nothing when it failed.
std::optional<QString> pactl(const QStringList& arguments);

// One more pipe microphone on the sound server while the object lives, in
// TestMicrophone's format: a TestMicrophone(pipe()) plays into it. The default
// source of before is the default again afterwards.
class PipeSource {
 public:
  explicit PipeSource(QString name);
  ~PipeSource();

  bool isLoaded() const { return !module_.isEmpty(); }
  const QString& name() const { return name_; }
  QString pipe() const;

 private:
  QString name_;
  QString module_;
  QString defaultBefore_;
};

// A sound server of the test's own with one pipe microphone, which the test
// may kill and start again. Point PULSE_SERVER at socket() in a fresh process
// (Qt connects only once).
class PrivateSoundServer {
 public:
  ~PrivateSoundServer() { kill(); }

  // True once its socket and the pipe are there.
  bool start(const QString& source, int sampleRate, int channels);
  void kill();

  QString socket() const;
  QString pipe() const;

 private:
  QProcess server_;
};
