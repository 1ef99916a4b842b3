#include "core/clock.h"
#include "localization/languagemanager.h"
#include "overlays/clarifyoverlayview.h"
#include "overlays/recordingoverlayview.h"
#include "overlays/resultoverlayview.h"
#include "overlays/resultoverlayviewmodel.h"
#include "overlays/tipoverlayview.h"
#include "pipeline/audiorecorder.h"

#include "fakeaudioengine.h"
#include "awaittask.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

namespace {

// Renders a view as the panel shows it. With VELTRINE_SCREENSHOTS set the
// pictures are kept there, for a person to look at.
QImage render(QWidget& view, const QSize& size, const QString& name) {
  view.resize(size);
  view.show();
  QImage image(size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  const QString folder = qEnvironmentVariable("VELTRINE_SCREENSHOTS");
  if (!folder.isEmpty()) {
    QDir().mkpath(folder);
    image.save(folder + u'/' + name + QStringLiteral(".png"));
  }
  return image;
}

// Pixels of the card's own fill at its centre row, and how many differ from it:
// text, symbols and bars.
int inkedPixels(const QImage& image) {
  int inked = 0;
  const QRgb fill = image.pixel(image.width() / 2, image.height() - 4);
  for (int y = 4; y < image.height() - 4; ++y) {
    for (int x = 4; x < image.width() - 4; ++x) inked += image.pixel(x, y) != fill;
  }
  return inked;
}

class PanelRendering : public ::testing::TestWithParam<AppLanguage> {
 protected:
  void SetUp() override {
    Clock::setTimeScaleForTesting(0.01);
    LanguageManager::shared().setCurrent(GetParam());
    language = rawValue(GetParam());
  }
  void TearDown() override { Clock::setTimeScaleForTesting(1.0); }
  QString language;
};

TEST_P(PanelRendering, TheRecordingIndicatorInEachState) {
  FakeAudioEngines engines;
  AudioRecorder recorder(engines.factory(), [] { return true; });
  recorder.setMaxDuration(10);  // the countdown shows at once
  RecordingOverlayView view(recorder);
  const QSize size(RecordingOverlayView::kWidth, RecordingOverlayView::kHeight);
  const int idle = inkedPixels(render(view, size, QStringLiteral("recording-idle-") + language));

  ASSERT_TRUE(awaitTask(recorder.startRecording()));
  ASSERT_TRUE(engines.latest()->deliver(std::vector<float>(4096 * 2, 0.3f)));
  ASSERT_TRUE(waitUntil([&] { return recorder.audioLevel() > 0 && recorder.countdown().has_value(); }));
  for (int i = 0; i < 9; ++i) view.sampleLevel();
  // A new look cross-fades in over a moment: draw it where it ends.
  ASSERT_TRUE(waitUntil([&] { return view.lookProgress() == 1; }));
  EXPECT_GT(inkedPixels(render(view, size, QStringLiteral("recording-countdown-") + language)), idle);

  ASSERT_TRUE(awaitTask(recorder.stopRecording()).has_value());
  ASSERT_TRUE(waitUntil([&] { return view.lookProgress() == 1; }));
  EXPECT_GT(inkedPixels(render(view, size, QStringLiteral("recording-processing-") + language)), 0);
}

TEST_P(PanelRendering, NoticesAndResults) {
  ClarifyOverlayView clarify{QString()};
  EXPECT_GT(inkedPixels(render(clarify, QSize(360, 120), QStringLiteral("clarify-fallback-") + language)), 0);
  TipOverlayView tip(QStringLiteral("Your credits are used up; they come back at the start of next month."));
  EXPECT_GT(inkedPixels(render(tip, QSize(320, 56), QStringLiteral("tip-") + language)), 0);

  ResultOverlayViewModel model;
  ResultOverlayView result(model);
  model.setText(QStringLiteral("A result that could not be pasted: the field was read-only."));
  EXPECT_GT(inkedPixels(render(result, QSize(420, result.fittingHeight()), QStringLiteral("result-plain-") + language)),
            0);
  model.setText(QStringLiteral("# Weather\n## Today\nSunny, **24 °C**, light *wind*. Use `forecast --week`.\n---\n"
                               "| Day | High | Low |\n|---|--:|--:|\n| Mon | 24 | 15 |\n| Tue | 22 |\n| Wed | 19 | 12 |\n\n"
                               "- Source: [weather service](https://example.com/weather)\n- Updated hourly"));
  model.setIsMarkdown(true);
  model.setPinned(true);
  EXPECT_GT(inkedPixels(render(result, QSize(680, 600), QStringLiteral("result-markdown-") + language)), 0);
}

INSTANTIATE_TEST_SUITE_P(Languages, PanelRendering, ::testing::Values(AppLanguage::en, AppLanguage::zh),
                         [](const auto& info) { return rawValue(info.param).toStdString(); });

}  // namespace
