#pragma once

#include "core/overlaypresenter.h"

#include <QList>
#include <QString>

// Records what the result panel shows; installed for its lifetime.
class PanelRecorder final : public OverlayPresenter {
 public:
  struct Shown {
    QString text;
    bool isMarkdown = false;
    bool pinned = false;
    bool operator==(const Shown&) const = default;
  };
  PanelRecorder() { OverlayPresenter::install(this); }
  ~PanelRecorder() override { OverlayPresenter::install(nullptr); }
  void showRecordingOverlay() override {}
  void hideRecordingOverlay() override {}
  void showResult(const QString& text, bool isMarkdown, bool pinned) override { shown.append({text, isMarkdown, pinned}); }
  void showClarify(const QString&) override {}
  void showTip(const QString&) override {}
  bool settled() const { return !shown.isEmpty() && !shown.constLast().pinned; }  // the relay has finished

  QList<Shown> shown;
};
