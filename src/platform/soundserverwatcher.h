#pragma once

#include <QObject>
#include <QString>

// The sound server as the recorder follows it: which source is the default
// input, and which sources go away. Both come from the server's own events,
// on the main thread, as they happen; nothing is polled.
//
// Source names are the ids of Qt's audio devices ("alsa_input.usb-...").
//
// The program installs the real implementation at start-up (app/); tests
// install fakes. Until something is installed no default is known and no
// event comes: the input is then whatever Qt takes for the default.
class SoundServerWatcher : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString defaultSource READ defaultSource NOTIFY defaultSourceChanged)

 public:
  ~SoundServerWatcher() override = default;

  // The name of the server's default source; empty while unknown (not yet
  // connected, no server, the default has just gone away).
  virtual QString defaultSource() const = 0;

  static SoundServerWatcher& current();
  // Installs `watcher` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(SoundServerWatcher* watcher);

 Q_SIGNALS:
  void defaultSourceChanged(const QString& name);
  // A source was removed from the server (unplugged, unloaded).
  void sourceRemoved(const QString& name);
};
