// What the floating panels cost: one frame of the recording indicator (it
// redraws about 17 times a second while recording), and rendering a long
// markdown answer (done once per new text).
#include "benchmain.h"
#include "overlays/markdownrenderer.h"
#include "overlays/recordingoverlayview.h"
#include "pipeline/audiorecorder.h"

#include <QApplication>
#include <QImage>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

void BM_RecordingIndicatorFrame(benchmark::State& state) {
  AudioRecorder recorder(AudioEngine::Factory(), [] { return false; });
  RecordingOverlayView view(recorder);
  QImage target(view.size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    view.sampleLevel();
    view.render(&target, QPoint(), QRegion(), QWidget::DrawChildren);
  }
}
BENCHMARK(BM_RecordingIndicatorFrame)->Unit(benchmark::kMicrosecond);

QString longAnswer(int sections) {
  QStringList lines;
  for (int i = 0; i < sections; ++i) {
    lines << QStringLiteral("## Section %1").arg(i)
          << QStringLiteral("Some **bold** text, some *italic* text, a `code span` and [a link](https://example.com/%1) "
                            "in a paragraph long enough to wrap over a few lines of the panel.")
                 .arg(i)
          << QStringLiteral("- an item") << QStringLiteral("- another item") << QStringLiteral("| a | b |")
          << QStringLiteral("|---|---|") << QStringLiteral("| 1 | 2 |") << QString();
  }
  return lines.join(u'\n');
}

// A long agent answer: 40 sections of heading, paragraph, list and table.
void BM_RenderMarkdown(benchmark::State& state) {
  const QString source = longAnswer(int(state.range(0)));
  for (auto _ : state) {
    QTextDocument document;
    renderMarkdown(source, document);
    benchmark::DoNotOptimize(document.blockCount());
  }
  state.SetLabel(QStringLiteral("%1 characters").arg(source.size()).toStdString());
}
BENCHMARK(BM_RenderMarkdown)->Arg(40)->Unit(benchmark::kMillisecond);

// One plain line of 20,000 characters without markup: the scan must not
// restart at every character.
void BM_RenderLongPlainLine(benchmark::State& state) {
  const QString source = QString(20000, u'x');
  for (auto _ : state) {
    QTextDocument document;
    renderMarkdown(source, document);
    benchmark::DoNotOptimize(document.blockCount());
  }
}
BENCHMARK(BM_RenderLongPlainLine)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return runBenchmarks<QApplication>(argc, argv);
}
