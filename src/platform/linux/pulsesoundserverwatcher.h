#pragma once

#include "platform/soundserverwatcher.h"

#include <QHash>
#include <QTimer>

#include <chrono>

struct pa_context;
struct pa_glib_mainloop;

// The sound server through libpulse (PulseAudio, or PipeWire through
// pipewire-pulse): a subscription to the server's and the sources' events,
// dispatched by the GLib main context that Qt's event loop runs on, so the
// callbacks come on the main thread between Qt's own events.
//
// Qt 6.4 notices neither a new default source nor, while capturing, a source
// that goes away (the server moves the stream elsewhere without an error);
// this is what tells the recorder.
//
// Connects at construction. When the server is gone (or was never there) it
// connects again after a pause that grows up to half a minute.
class PulseSoundServerWatcher final : public SoundServerWatcher {
  Q_OBJECT

 public:
  PulseSoundServerWatcher();
  ~PulseSoundServerWatcher() override;

  QString defaultSource() const override { return defaultSource_; }
  // Subscribed and told the current default (tests wait for it).
  bool isConnected() const { return connected_; }

 private:
  friend struct PulseCallbacks;

  void connectToServer();
  void disconnectFromServer();
  void serverLost();
  void requestServerInfo();
  void addSource(quint32 index, const QString& name);
  void removeSource(quint32 index);
  void setDefaultSource(const QString& name);

  pa_glib_mainloop* mainloop_ = nullptr;
  pa_context* context_ = nullptr;
  bool connected_ = false;
  QString defaultSource_;
  // The server names its sources in events by index alone.
  QHash<quint32, QString> sources_;
  QTimer reconnect_;
  std::chrono::milliseconds reconnectPause_;
};
