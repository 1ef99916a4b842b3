#pragma once

#include <QObject>

#include <memory>

// Owns a QObject until the end of a scope, then hands it to deleteLater(), so
// that Qt finishes delivering what it still has queued for the object (a
// network reply's last signals) before it goes.
struct DeleteLater {
  void operator()(QObject* object) const {
    if (object) object->deleteLater();
  }
};

template <typename T>
using DeleteLaterPtr = std::unique_ptr<T, DeleteLater>;
