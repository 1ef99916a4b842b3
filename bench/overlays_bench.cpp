// What the floating panels cost: one frame of the recording indicator (it
// redraws about 17 times a second while recording), rendering a long markdown
// answer (done once per new text), lines built to make a scan slow, an agent
// answer that streams in piece by piece, and showing large answers in the
// markdown view; and the tip's fade where no compositor runs, as a dissolve
// through the window's shape.
#include "benchmain.h"
#include "fakecompositorpresence.h"
#include "overlays/dissolvemasks.h"
#include "overlays/markdownrenderer.h"
#include "overlays/markdownscrollview.h"
#include "overlays/markdowntextview.h"
#include "overlays/overlaypanel.h"
#include "overlays/recordingoverlayview.h"
#include "overlays/tipoverlayview.h"
#include "pipeline/audiorecorder.h"

#include <QAbstractTextDocumentLayout>
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

// Every dissolve level of the tip's card, built anew: what the first fade of
// a panel size costs beyond its steps (the masks are kept for later fades).
void BM_TipDissolveMasks(benchmark::State& state) {
  const QRegion card(TipOverlayView(QString()).outline().toFillPolygon().toPolygon());
  for (auto _ : state) {
    DissolveMasks masks;
    for (int level = 1; level < DissolveMasks::kLevels; ++level) benchmark::DoNotOptimize(masks.at(card, level));
  }
}
BENCHMARK(BM_TipDissolveMasks)->Unit(benchmark::kMicrosecond);

// One step of the tip's fade without a compositor: the next level's shape
// (built before) set on the shown panel's window. On a display this is the
// shape queued on the X connection; `/1` also waits for the X server to have
// applied it (a round trip).
void BM_TipDissolveStep(benchmark::State& state) {
  FakeCompositorPresence compositor(false);
  OverlayPanel panel({QSize(TipOverlayView::kWidth, TipOverlayView::kHeight)});
  panel.setContentView(new TipOverlayView(QStringLiteral("Credits are used up for this month.")));
  panel.orderFrontRegardless();
  int step = 0;
  for (auto _ : state) {
    panel.setDissolve((step++ % DissolveMasks::kLevels + 0.5) / DissolveMasks::kLevels);
    if (state.range(0)) QGuiApplication::sync();
  }
  panel.orderOut();
}
BENCHMARK(BM_TipDissolveStep)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

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

// One line of `size` characters made of `unit` over and over: what a reply
// could hold to make each step of a scan search the whole rest of the line.
struct HostileLine {
  const char* name;
  const char16_t* unit;
  int size;
};

const HostileLine kHostileLines[] = {
    {"ItalicSpans", u"*a* ", 5000},       {"ItalicSpans", u"*a* ", 100000},     {"CodeSpans", u"`x` ", 100000},
    {"Links", u"[a](http://b) ", 100000}, {"Asterisks", u"*", 1000000},         {"UnclosedBold", u"**a ", 100000},
    {"Brackets", u"[", 100000},           {"UnclosedLinks", u"[a](b ", 100000},
};

QString hostileLine(const HostileLine& line) {
  const QString unit = QString::fromUtf16(line.unit);
  return unit.repeated(line.size / unit.size()).left(line.size);
}

void BM_RenderHostileLine(benchmark::State& state, const HostileLine& line) {
  const QString source = hostileLine(line);
  for (auto _ : state) {
    QTextDocument document;
    renderMarkdown(source, document);
    benchmark::DoNotOptimize(document.characterCount());
  }
}

// About 1 MB of ordinary answer text: paragraphs of some 250 characters with
// a little markup, headings and items between them.
QString prose(int size) {
  const QString paragraph = QStringLiteral(
      "The gateway answered after a while, and the **summary** reads as follows: the *first* step failed "
      "because the folder `~/notes` was missing, the second one succeeded, and the details are on "
      "[the status page](https://example.com/status) for anyone who wants them. Nothing else changed.");
  QStringList lines;
  qsizetype length = 0;
  for (int i = 0; length < size; ++i) {
    QString line = paragraph;
    if (i % 10 == 0) line = QStringLiteral("## Part %1").arg(i);
    if (i % 10 == 9) line = QStringLiteral("- done %1").arg(i);
    lines.append(line);
    length += line.size() + 1;
  }
  return lines.join(u'\n');
}

void BM_RenderProse(benchmark::State& state) {
  const QString source = prose(int(state.range(0)));
  for (auto _ : state) {
    QTextDocument document;
    renderMarkdown(source, document);
    benchmark::DoNotOptimize(document.characterCount());
  }
}
BENCHMARK(BM_RenderProse)->Arg(1000000)->Unit(benchmark::kMillisecond);

// An agent answer shown in the result panel's view as it streams in: the view
// is given the text so far after every piece of 32 characters, as the relay
// does. The time is that of the whole answer.
void BM_StreamAnswer(benchmark::State& state) {
  const QString answer = longAnswer(int(state.range(0)));
  for (auto _ : state) {
    MarkdownScrollView view;
    view.resize(680, 510);
    for (qsizetype end = 32; end < answer.size() + 32; end += 32) view.setText(answer.left(end));
    benchmark::DoNotOptimize(view.text().size());
  }
  state.SetLabel(
      QStringLiteral("%1 characters, %2 pieces").arg(answer.size()).arg((answer.size() + 31) / 32).toStdString());
}
BENCHMARK(BM_StreamAnswer)->Arg(20)->Arg(80)->Unit(benchmark::kMillisecond);

// What the user meets: the text set in a visible markdown view of the result
// panel's size and laid out to its full height. Beyond the rendering, this is
// the text engine's layout and shaping of every run.
void BM_ShowInView(benchmark::State& state, const QString& source) {
  for (auto _ : state) {
    MarkdownScrollView view;
    view.resize(672, 510);
    view.show();
    view.setText(source);
    benchmark::DoNotOptimize(view.textView()->document()->documentLayout()->documentSize());
  }
}
BENCHMARK_CAPTURE(BM_ShowInView, ItalicSpans100000, hostileLine(kHostileLines[1]))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ShowInView, Prose1000000, prose(1000000))->Unit(benchmark::kMillisecond);

[[maybe_unused]] const bool kHostileLinesRegistered = [] {
  for (const HostileLine& line : kHostileLines) {
    const QString name = QStringLiteral("BM_RenderHostileLine/%1/%2").arg(QLatin1String(line.name)).arg(line.size);
    benchmark::RegisterBenchmark(name.toUtf8().constData(), BM_RenderHostileLine, line)->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return runBenchmarks<QApplication>(argc, argv);
}
