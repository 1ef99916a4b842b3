#include "platform/linux/pulsesoundserverwatcher.h"

#include "core/logging.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <pulse/context.h>
#include <pulse/glib-mainloop.h>
#include <pulse/introspect.h>
#include <pulse/subscribe.h>

#include <algorithm>

using namespace std::chrono_literals;

namespace {

constexpr std::chrono::milliseconds kFirstReconnectPause = 1s;
constexpr std::chrono::milliseconds kLongestReconnectPause = 30s;

void dropOperation(pa_operation* operation) {
  if (operation) pa_operation_unref(operation);
}

}  // namespace

// libpulse calls these from the GLib main context, on the main thread; the
// user data is the watcher, which unhooks them before it goes away.
struct PulseCallbacks {
  static void state(pa_context* context, void* userdata) {
    auto* watcher = static_cast<PulseSoundServerWatcher*>(userdata);
    switch (pa_context_get_state(context)) {
      case PA_CONTEXT_READY:
        pa_context_set_subscribe_callback(context, &PulseCallbacks::event, watcher);
        dropOperation(pa_context_subscribe(
            context, pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SERVER | PA_SUBSCRIPTION_MASK_SOURCE), nullptr,
            nullptr));
        // Answered in this order: the sources are known by the time the default is.
        dropOperation(pa_context_get_source_info_list(context, &PulseCallbacks::sourceInfo, watcher));
        watcher->requestServerInfo();
        break;
      case PA_CONTEXT_FAILED:
      case PA_CONTEXT_TERMINATED:
        watcher->serverLost();
        break;
      default:
        break;
    }
  }

  static void event(pa_context* context, pa_subscription_event_type_t type, uint32_t index, void* userdata) {
    auto* watcher = static_cast<PulseSoundServerWatcher*>(userdata);
    const auto facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const auto kind = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    if (facility == PA_SUBSCRIPTION_EVENT_SERVER) {
      watcher->requestServerInfo();
    } else if (facility == PA_SUBSCRIPTION_EVENT_SOURCE && kind == PA_SUBSCRIPTION_EVENT_NEW) {
      dropOperation(pa_context_get_source_info_by_index(context, index, &PulseCallbacks::sourceInfo, watcher));
    } else if (facility == PA_SUBSCRIPTION_EVENT_SOURCE && kind == PA_SUBSCRIPTION_EVENT_REMOVE) {
      watcher->removeSource(index);
    }
  }

  static void sourceInfo(pa_context*, const pa_source_info* info, int endOfList, void* userdata) {
    // A source removed before its description arrived ends the list with an error: nothing to add.
    if (endOfList != 0 || !info || !info->name) return;
    static_cast<PulseSoundServerWatcher*>(userdata)->addSource(info->index, QString::fromUtf8(info->name));
  }

  static void serverInfo(pa_context*, const pa_server_info* info, void* userdata) {
    if (!info) return;
    auto* watcher = static_cast<PulseSoundServerWatcher*>(userdata);
    watcher->setDefaultSource(info->default_source_name ? QString::fromUtf8(info->default_source_name) : QString());
    if (!watcher->connected_) {
      watcher->connected_ = true;
      watcher->reconnectPause_ = kFirstReconnectPause;
      qCInfo(lcAudioRecorder, "sound server: watching, default source \"%s\"", qUtf8Printable(watcher->defaultSource_));
    }
  }
};

PulseSoundServerWatcher::PulseSoundServerWatcher() : reconnectPause_(kFirstReconnectPause) {
  reconnect_.setSingleShot(true);
  connect(&reconnect_, &QTimer::timeout, this, &PulseSoundServerWatcher::connectToServer);
  // libpulse's callbacks are dispatched by GLib; Qt runs GLib's main context
  // unless it was built without it or told not to (QT_NO_GLIB).
  const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  if (!dispatcher || !dispatcher->inherits("QEventDispatcherGlib")) {
    qCWarning(lcAudioRecorder, "sound server: the event loop is not GLib's, a new default microphone is not followed");
    return;
  }
  mainloop_ = pa_glib_mainloop_new(g_main_context_get_thread_default());
  connectToServer();
}

PulseSoundServerWatcher::~PulseSoundServerWatcher() {
  disconnectFromServer();
  if (mainloop_) pa_glib_mainloop_free(mainloop_);
}

void PulseSoundServerWatcher::connectToServer() {
  disconnectFromServer();
  const QByteArray name = QCoreApplication::applicationName().toUtf8();
  context_ = pa_context_new(pa_glib_mainloop_get_api(mainloop_), name.isEmpty() ? "veltrine" : name.constData());
  if (!context_) {
    serverLost();
    return;
  }
  pa_context_set_state_callback(context_, &PulseCallbacks::state, this);
  // Never start a sound server of our own: watch the user's, once it is there.
  const auto flags = pa_context_flags_t(PA_CONTEXT_NOAUTOSPAWN | PA_CONTEXT_NOFAIL);
  if (pa_context_connect(context_, nullptr, flags, nullptr) < 0) serverLost();
}

void PulseSoundServerWatcher::disconnectFromServer() {
  if (!context_) return;
  // Unhooked first: a disconnect we make ourselves is no lost server.
  pa_context_set_state_callback(context_, nullptr, nullptr);
  pa_context_set_subscribe_callback(context_, nullptr, nullptr);
  pa_context_disconnect(context_);
  pa_context_unref(context_);
  context_ = nullptr;
}

void PulseSoundServerWatcher::serverLost() {
  if (reconnect_.isActive()) return;
  // Said once per loss, not at every try of a machine without a server.
  if (reconnectPause_ == kFirstReconnectPause) qCWarning(lcAudioRecorder, "sound server: not reachable, trying again");
  connected_ = false;
  sources_.clear();
  setDefaultSource({});
  // The context is let go from the timer, never inside its own callback.
  reconnect_.start(reconnectPause_);
  reconnectPause_ = std::min(reconnectPause_ * 2, kLongestReconnectPause);
}

void PulseSoundServerWatcher::requestServerInfo() {
  if (context_) dropOperation(pa_context_get_server_info(context_, &PulseCallbacks::serverInfo, this));
}

void PulseSoundServerWatcher::addSource(quint32 index, const QString& name) { sources_.insert(index, name); }

void PulseSoundServerWatcher::removeSource(quint32 index) {
  const QString name = sources_.take(index);
  if (name.isEmpty()) return;
  // Until the server names the next default there is none.
  if (name == defaultSource_) setDefaultSource({});
  Q_EMIT sourceRemoved(name);
}

void PulseSoundServerWatcher::setDefaultSource(const QString& name) {
  if (name == defaultSource_) return;
  defaultSource_ = name;
  Q_EMIT defaultSourceChanged(defaultSource_);
}
