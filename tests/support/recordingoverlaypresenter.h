#pragma once

#include "core/overlaypresenter.h"

#include <QStringList>

#include <functional>

// Stands in for the floating panels: notes every call, in order, as one line
// ("show recording", "hide recording", "result plain <text>", "result markdown
// <text>", "clarify <question>", "tip <message>"). Installed for its lifetime.
class RecordingOverlayPresenter final : public OverlayPresenter {
 public:
  RecordingOverlayPresenter() { OverlayPresenter::install(this); }
  ~RecordingOverlayPresenter() override { OverlayPresenter::install(nullptr); }

  void showRecordingOverlay() override {
    calls << QStringLiteral("show recording");
    recordingShown = true;
    if (onShowRecording) onShowRecording();
  }
  void hideRecordingOverlay() override {
    calls << QStringLiteral("hide recording");
    recordingShown = false;
  }
  void showResult(const QString& text, bool isMarkdown, bool pinned) override {
    calls << QStringLiteral("result %1%2 %3")
                 .arg(isMarkdown ? QStringLiteral("markdown") : QStringLiteral("plain"),
                      pinned ? QStringLiteral(" pinned") : QString(), text);
  }
  void showClarify(const QString& question) override { calls << QStringLiteral("clarify ") + question; }
  void showTip(const QString& message) override { calls << QStringLiteral("tip ") + message; }

  // The calls other than showing and hiding the recording indicator.
  QStringList panels() const {
    QStringList shown = calls;
    shown.removeIf([](const QString& call) { return call == u"show recording" || call == u"hide recording"; });
    return shown;
  }

  QStringList calls;
  bool recordingShown = false;
  // What the indicator's coming up does to the application in front.
  std::function<void()> onShowRecording;
};
