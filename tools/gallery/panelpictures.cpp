#include "panelpictures.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "overlays/clarifyoverlayview.h"
#include "overlays/clarifyoverlaywindowcontroller.h"
#include "overlays/recordingoverlayview.h"
#include "overlays/resultoverlayview.h"
#include "overlays/resultoverlayviewmodel.h"
#include "overlays/tipoverlayview.h"
#include "pipeline/audiorecorder.h"
#include "platform/audioengine.h"

#include <QApplication>
#include <QCoroTask>
#include <QDir>
#include <QFile>
#include <QImage>

#include <thread>
#include <vector>

namespace {

// A microphone that hears a steady tone once it is asked to.
class ToneEngine final : public AudioEngine {
 public:
  AudioInputFormat inputFormat() override { return {48000, 1}; }
  bool start(int framesPerBuffer, Tap tap, QString*) override {
    frames_ = framesPerBuffer;
    tap_ = std::move(tap);
    return true;
  }
  void stop() override { tap_ = {}; }
  bool isRunning() const override { return static_cast<bool>(tap_); }
  // Hands the recorder some loud buffers from an audio thread of its own.
  void speak() {
    if (!tap_) return;
    std::thread([this] {
      const std::vector<float> samples(static_cast<size_t>(frames_), 0.6f);
      for (int i = 0; i < 4; ++i) tap_(AudioBuffer{48000, 1, std::span<const float>(samples)});
    }).join();
  }

 private:
  int frames_ = 1024;
  Tap tap_;
};

// The view as its panel shows it, drawn over nothing, with every pixel of
// the screen (twice as many each way on a screen at twice the scale).
bool save(QWidget& view, const QSize& size, const QString& path) {
  view.resize(size);
  view.show();
  QApplication::processEvents();
  const qreal ratio = view.devicePixelRatioF();
  QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::transparent);
  view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  view.hide();
  return image.save(path);
}

// The recording indicator in the three states the user sees.
int recordingPictures(const QString& folder) {
  int failed = 0;
  for (const bool nearTheEnd : {false, true}) {
    ToneEngine* engine = nullptr;
    AudioRecorder recorder([&] { return std::unique_ptr<AudioEngine>(engine = new ToneEngine); }, [] { return true; });
    if (nearTheEnd) recorder.setMaxDuration(10);  // the seconds left show at once
    RecordingOverlayView view(recorder);
    const QSize size(RecordingOverlayView::kWidth, RecordingOverlayView::kHeight);
    if (!QCoro::waitFor(recorder.startRecording()) || !engine) return failed + (nearTheEnd ? 2 : 3);
    engine->speak();
    for (int i = 0; i < 50 && recorder.audioLevel() <= 0; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
    for (int i = 0; i < RecordingOverlayView::kBarCount / 2; ++i) view.sampleLevel();
    failed += !save(view, size, folder + (nearTheEnd ? QStringLiteral("/recording-countdown.png")
                                                     : QStringLiteral("/recording.png")));
    const std::optional<QUrl> recording = QCoro::waitFor(recorder.stopRecording());
    if (!nearTheEnd) failed += !save(view, size, folder + QStringLiteral("/recording-processing.png"));
    if (recording) QFile::remove(recording->toLocalFile());
  }
  return failed;
}

}  // namespace

int writePanelPictures(const QString& folder, AppLanguage language) {
  if (!QDir().mkpath(folder)) return 6;
  LanguageManager::shared().setCurrent(language);
  int failed = recordingPictures(folder);

  ClarifyOverlayView clarify(QStringLiteral("Which of the two files do you mean, the report or its draft?"));
  failed += !save(clarify, clarifyPanelSize(clarify.question()), folder + QStringLiteral("/clarify.png"));
  TipOverlayView tip(currentStrings().errorMicrophoneLost);
  failed += !save(tip, QSize(TipOverlayView::kWidth, TipOverlayView::kHeight), folder + QStringLiteral("/tip.png"));

  ResultOverlayViewModel model;
  ResultOverlayView result(model);
  model.setText(QStringLiteral("A result that could not be pasted: the field was read-only."));
  failed += !save(result, QSize(result.cardWidth(), result.fittingHeight()), folder + QStringLiteral("/result-plain.png"));
  model.setText(QStringLiteral("# Weather\n## Today\nSunny, **24 °C**, light *wind*. Use `forecast --week`.\n---\n"
                               "| Day | High | Low |\n|---|--:|--:|\n| Mon | 24 | 15 |\n| Tue | 22 |\n\n"
                               "- Source: [weather service](https://example.com/weather)\n- Updated hourly"));
  model.setIsMarkdown(true);
  model.setPinned(true);
  failed += !save(result, QSize(result.cardWidth(), result.fittingHeight()), folder + QStringLiteral("/result-markdown.png"));
  return failed;
}
