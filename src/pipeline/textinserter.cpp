#include "pipeline/textinserter.h"

#include "core/charactercount.h"
#include "core/clock.h"
#include "core/logging.h"
#include "core/overlaypresenter.h"
#include "core/tracelog.h"
#include "pipeline/commandkeys.h"
#include "pipeline/permissionmanager.h"
#include "pipeline/savedpasteboard.h"
#include "pipeline/selectioneraser.h"
#include "platform/accessibilitytrust.h"
#include "platform/inputmethod.h"
#include "platform/pasteboard.h"

#include <QCoroTimer>
#include <QPointer>
#include <QTextBoundaryFinder>

using namespace std::chrono_literals;

namespace {

// The application needs a moment to take the paste before we look, and the
// copy that reads the selection back a moment to reach the clipboard.
constexpr auto kWaitBeforeCheck = 200ms;
constexpr auto kWaitAfterCopy = 150ms;
constexpr int kTracePrefix = 30;

QString boolWord(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

// The first `count` characters as a person counts them, so a trace never
// splits an emoji or an accented letter.
QString prefixOfCharacters(const QString& text, int count) {
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
  int seen = 0;
  while (seen < count && finder.toNextBoundary() >= 0) ++seen;
  return seen < count ? text : text.left(finder.position());
}

// Whether the check's copy found no text at all: the clipboard did not
// change, or changed to no text.
bool broughtNothingBack(const std::optional<QString>& copied) { return !copied || copied->isEmpty(); }

QString editabilityWord(const std::optional<SelectionSnapshot>& snapshot) {
  if (!snapshot) return QStringLiteral("noSnapshot");
  if (!snapshot->isEditable) return QStringLiteral("nil(undetermined)");
  return boolWord(*snapshot->isEditable);
}

QString sourceWord(const std::optional<SelectionSnapshot>& snapshot) {
  return snapshot ? SelectionSnapshot::rawValue(snapshot->source) : QStringLiteral("nil");
}

}  // namespace

TextInserter::TextInserter(QObject* parent) : QObject(parent) {}

void TextInserter::insert(const QString& result, const std::optional<QString>& selectedText,
                          const std::optional<SelectionSnapshot>& snapshot, std::optional<qint32> pid) {
  const bool hasSelection = selectedText && !selectedText->isEmpty();
  const QString logSelection =
      hasSelection ? QStringLiteral("yes(%1)").arg(characterCount(*selectedText)) : QStringLiteral("none");
  const QString traceSelection = hasSelection ? QStringLiteral("yes") : QStringLiteral("none");
  qCInfo(lcHotKeyFlow, "handleAction(.paste): selectedText=%s, snapshotIsEditable=%s, snapshotSource=%s",
         qUtf8Printable(logSelection), qUtf8Printable(editabilityWord(snapshot)), qUtf8Printable(sourceWord(snapshot)));
  trace(QStringLiteral("handleAction(.paste): selectedText=") + traceSelection +
        QStringLiteral(", snapshotIsEditable=") + editabilityWord(snapshot) + QStringLiteral(", snapshotSource=") +
        sourceWord(snapshot));

  if (!hasSelection) {
    pasteText(result, pid);
    return;
  }
  if (result.trimmed() == selectedText->trimmed()) {
    qCInfo(lcHotKeyFlow, "handleAction: result identical to selectedText, silently discarding");
    return;
  }
  if (!snapshot || snapshot->isEditable == true) {
    pasteText(result, pid, *selectedText);
    return;
  }
  if (!snapshot->isEditable.has_value()) {
    pasteAndCheck(result, pid, *selectedText);
    return;
  }
  // A read-only selection: the result is shown, the clipboard left alone.
  OverlayPresenter::current().showResult(result, false, false);
}

QCoro::Task<void> TextInserter::pasteAndCheck(QString result, std::optional<qint32> pid, QString selectedText) {
  const QPointer<TextInserter> self(this);
  // Checked only when the paste went out: otherwise the panel shows it already.
  const bool typed = co_await pasteText(result, pid, selectedText);
  if (self && typed) co_await pasteAndVerify(pid, selectedText, result);
}

QCoro::Task<bool> TextInserter::pasteText(QString text, std::optional<qint32> pid, std::optional<QString> replacing) {
  if (text.isEmpty()) co_return true;
  const QPointer<TextInserter> self(this);
  Pasteboard& pasteboard = Pasteboard::current();
  const std::optional<RunningApplication> front = FrontApplication::current().frontmost();
  const bool intoFront = front && (!pid || front->pid == *pid);
  const qint64 formatsAsked = intoFront ? ClipboardFormatsWait::askedSoFar(*front) : 0;
  pasteboard.clearContents();
  pasteboard.setString(text);
  if (skipSystemPaste_) co_return true;

  // Asked at every paste: the trust can come and go while the program runs.
  bool trusted = AccessibilityTrust::current().isTrusted();
  if (trusted) {
    fillPermissionDenied_ = false;
  } else if (!fillPermissionDenied_) {
    PermissionManager& permissions = PermissionManager::shared();
    permissions.requestAccessibility();
    trusted = permissions.accessibilityStatus() == PermissionStatus::granted;
    // Refused: later pastes only fill the clipboard until the trust returns.
    fillPermissionDenied_ = !trusted;
  }
  if (!trusted) co_return true;
  // A composition the user left open in an input method is committed first,
  // as the letters typed: KTextEditor (Kate, KWrite) would paste inside it and
  // drop the paste when it ends.
  if (intoFront && InputMethod::current().commitComposition()) {
    trace(QStringLiteral("paste: the input method composes in ") + front->localizedName +
          QStringLiteral(", what it holds is committed first"));
  }
  if (replacing && intoFront && pastesBesideSelection(front)) SelectionEraser::erase(*front, *replacing);
  // A program that pastes PRIMARY alone never reads the clipboard.
  if (intoFront && !pastesPrimarySelection(front)) {
    co_await formatsWait_.untilAsked(*front, formatsAsked);
    if (!self) co_return false;
  }
  // Shift+Insert pastes PRIMARY in some programs (xterm and its kin, a
  // terminal in a web page, gvim, Xaw texts): the text is lent to it for the
  // paste. Not where the paste replaces a selection in another editor: that
  // selection is PRIMARY, and GTK (3 and 4) drops it once another program
  // takes PRIMARY: the paste would land beside the text it replaces.
  const bool throughPrimary = commandChord(KeyChord::Key::v, front) == KeyChord::shiftInsert() &&
                              (!replacing || pastesPrimarySelection(front));
  if (throughPrimary) primaryLoan_.lend(text, front);
  const bool typed = postCommandV(pid);
  if (throughPrimary) primaryLoan_.giveBack(typed);
  // No keys went out (another window took the focus meanwhile): the result
  // would only sit unseen on the clipboard, so the panel shows it.
  if (typed) co_return true;
  OverlayPresenter::current().showResult(text, false, false);
  co_return false;
}

QCoro::Task<void> TextInserter::pasteAndVerify(std::optional<qint32> pid, QString originalText, QString result) {
  const QPointer<TextInserter> self(this);
  co_await QCoro::sleepFor(Clock::scaled(kWaitBeforeCheck));
  if (!self) co_return;

  Pasteboard& pasteboard = Pasteboard::current();
  const qint64 changeCount = pasteboard.changeCount();
  const SavedPasteboard saved = SavedPasteboard::save();
  postCommandC(pid);
  co_await QCoro::sleepFor(Clock::scaled(kWaitAfterCopy));

  std::optional<QString> copied;
  if (pasteboard.changeCount() != changeCount) {
    copied = pasteboard.string();
    // The clipboard goes back to what the paste left on it: the result.
    saved.restore();
  }

  const QString currentText = copied.value_or(QString()).trimmed();
  const QString trimmedOriginal = originalText.trimmed();
  const bool unchanged = currentText == trimmedOriginal;
  trace(QStringLiteral("pasteAndVerify: currentText=") + prefixOfCharacters(currentText, kTracePrefix) +
        QStringLiteral(", originalText=") + prefixOfCharacters(trimmedOriginal, kTracePrefix) +
        QStringLiteral(", match=") + boolWord(unchanged));
  if (broughtNothingBack(copied)) {
    // Nothing selected to copy is what a paste over the selection leaves in
    // most editors, and also what an application that ignored both keys, or
    // dropped its highlight on the paste, leaves: no proof either way. The
    // panel is not shown: after every rewrite that landed it would show the
    // same text again. The result stays on the clipboard for a paste by hand.
    trace(QStringLiteral("pasteAndVerify: the copy brought nothing back, the paste could not be verified"));
    co_return;
  }
  if (unchanged) {
    trace(QStringLiteral("pasteAndVerify: paste failed (text unchanged), showing overlay"));
    OverlayPresenter::current().showResult(result, false, false);
  } else {
    trace(QStringLiteral("pasteAndVerify: paste succeeded or text changed, keeping paste result"));
  }
}
