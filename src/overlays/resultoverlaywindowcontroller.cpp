#include "overlays/resultoverlaywindowcontroller.h"

#include "core/charactercount.h"
#include "core/clock.h"
#include "core/tracelog.h"
#include "overlays/markdownscrollview.h"
#include "overlays/overlaypanel.h"
#include "overlays/resultoverlayview.h"
#include "platform/pasteboard.h"

#include <algorithm>

namespace {

constexpr PanelPlacement kPlacement{0, 44};
constexpr int kPlainMinHeight = 80;
constexpr int kPlainMaxHeight = 240;
constexpr int kMarkdownPanelHeight = 600;

const char* boolText(bool value) { return value ? "true" : "false"; }

// A coordinate of the panel's frame in its trace line: decimal, with at least
// one fractional digit even for a whole number (630.0), so every frame reads
// alike and tools that read the trace see one number format.
QString coordinate(qreal value) {
  QString written = QString::number(value, 'g', 12);
  if (!written.contains(u'.') && !written.contains(u'e')) written += QStringLiteral(".0");
  return written;
}

}  // namespace

ResultOverlayWindowController& ResultOverlayWindowController::shared() {
  static auto* instance = new ResultOverlayWindowController;
  return *instance;
}

ResultOverlayWindowController::ResultOverlayWindowController() {
  connect(&dismissTimer_, &QTimer::timeout, this, &ResultOverlayWindowController::tick);
}

void ResultOverlayWindowController::show(const QString& text, bool isMarkdown, bool pinned) {
  ++showing_;
  viewModel_.setText(text);
  viewModel_.setIsMarkdown(isMarkdown);
  viewModel_.setCountdown(ResultOverlayViewModel::kCountdownSeconds);
  viewModel_.setPinned(pinned);
  viewModel_.setCopied(false);
  if (!panel_) makePanel();
  // A showing starts at the top with nothing selected, also when the panel
  // already shows this text (the same question asked twice).
  hostingView_->markdownView()->startAtTheTop();
  resizePanel();
  panel_->orderFrontRegardless();

  const QRect frame = panel_ ? panel_->geometry() : QRect();
  trace(QStringLiteral("ResultOverlay _show: textLen=%1, isMarkdown=%2, panelVisible=%3, frame=(%4, %5, %6, %7)")
            .arg(characterCount(text))
            .arg(boolText(isMarkdown), boolText(panel_ && panel_->isVisible()), coordinate(frame.x()),
                 coordinate(frame.y()), coordinate(frame.width()), coordinate(frame.height())));
  startCountdown();
}

void ResultOverlayWindowController::hide() {
  trace(QStringLiteral("ResultOverlay hide"));
  dismissTimer_.stop();
  if (panel_) panel_->orderOut();
}

void ResultOverlayWindowController::copyText() {
  Pasteboard& pasteboard = Pasteboard::current();
  pasteboard.clearContents();
  pasteboard.setString(viewModel_.text());
  viewModel_.setCopied(true);
  hideLater(Clock::scaledMs(1000));
}

void ResultOverlayWindowController::hideLater(int delayMs) {
  const quint64 showing = showing_;
  QTimer::singleShot(delayMs, this, [this, showing] {
    if (showing == showing_) hide();
  });
}

void ResultOverlayWindowController::makePanel() {
  panel_ = new OverlayPanel({QSize(ResultOverlayView::kPlainWidth, kPlainMinHeight), false, true, true});
  hostingView_ = new ResultOverlayView(viewModel_);
  connect(hostingView_, &ResultOverlayView::dismissRequested, this, [this] { hideLater(0); });
  connect(hostingView_, &ResultOverlayView::copyRequested, this, &ResultOverlayWindowController::copyText);
  panel_->setContentView(hostingView_);
}

void ResultOverlayWindowController::resizePanel() {
  if (!panel_ || !hostingView_) return;
  const int width = hostingView_->cardWidth();
  const int height = viewModel_.isMarkdown()
                         ? kMarkdownPanelHeight
                         : std::clamp(hostingView_->fittingHeight(), kPlainMinHeight, kPlainMaxHeight);
  panel_->setContentSize(QSize(width, height));
  positionPanel();
}

void ResultOverlayWindowController::positionPanel() {
  if (panel_) panel_->place(kPlacement);
}

void ResultOverlayWindowController::startCountdown() {
  viewModel_.setCountdown(ResultOverlayViewModel::kCountdownSeconds);
  dismissTimer_.start(Clock::scaledMs(1000));
}

void ResultOverlayWindowController::tick() {
  // A pinned panel keeps the seconds it had; unpinning goes on from there.
  if (viewModel_.pinned()) return;
  viewModel_.setCountdown(viewModel_.countdown() - 1);
  if (viewModel_.countdown() < 1) hide();
}
