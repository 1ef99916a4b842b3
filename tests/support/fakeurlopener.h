#pragma once

#include "platform/urlopener.h"

#include <QList>

// Records the addresses it is asked to open; `available` says whether the
// desktop has a handler. Installed for its lifetime.
class FakeUrlOpener final : public UrlOpener {
 public:
  explicit FakeUrlOpener(bool available = true) : available(available) { UrlOpener::install(this); }
  ~FakeUrlOpener() override { UrlOpener::install(nullptr); }

  bool open(const QUrl& url) override {
    opened.append(url);
    return available;
  }

  bool available;
  QList<QUrl> opened;
};
