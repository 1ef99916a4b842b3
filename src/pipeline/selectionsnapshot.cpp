#include "pipeline/selectionsnapshot.h"

#include "core/charactercount.h"
#include "core/logging.h"
#include "core/tracelog.h"
#include "pipeline/clipboardcopy.h"
#include "pipeline/commandkeys.h"
#include "pipeline/highlightedselection.h"
#include "platform/accessibility.h"
#include "platform/accessibilitytrust.h"
#include "platform/pasteboard.h"

#include <QSet>

#include <chrono>

using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

// Each accessibility step (a capture, the copy's editability probe) as a
// whole, however many calls it makes: an application that stopped answering
// holds the press for these times at most, not for them once per call.
constexpr auto captureTimeout = 1000ms;
constexpr auto editabilityProbeTimeout = 500ms;

// Bounds the calls on `element` by the step's time-out and its end.
void boundByStep(const AXElementRef& element, std::chrono::milliseconds timeout, Clock::time_point end) {
  element->setMessagingTimeout(timeout);
  element->setMessagingDeadline(end);
}

QString boolWord(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

QString optionalBoolWord(std::optional<bool> value) { return value ? boolWord(*value) : QStringLiteral("nil"); }

QString appName(const std::optional<RunningApplication>& app) {
  return app && !app->localizedName.isEmpty() ? app->localizedName : QStringLiteral("nil");
}

const QSet<QString>& editableRoles() {
  static const QSet<QString> roles{QStringLiteral("AXTextField"), QStringLiteral("AXTextArea"),
                                   QStringLiteral("AXComboBox"), QStringLiteral("AXSearchField")};
  return roles;
}

struct FocusedElement {
  qint32 error = AXError::success;
  AXElementRef element;
};

// A container's focused element as read. A read that succeeds without an
// element keeps its success code, as the caller logs it.
FocusedElement focusedElementIn(const AXAttributeResult& result) {
  FocusedElement focused{result.error, nullptr};
  if (result.error == AXError::success) {
    if (const auto* element = std::get_if<AXElementRef>(&result.value)) focused.element = *element;
  }
  return focused;
}

FocusedElement focusedElement(const AXElementRef& container) {
  return focusedElementIn(container->copyAttributeValue(AXAttribute::focusedUIElement));
}

std::optional<QString> stringIn(const AXAttributeResult& result) {
  if (result.error != AXError::success) return std::nullopt;
  if (const auto* text = std::get_if<QString>(&result.value)) return *text;
  return std::nullopt;
}

// "{loc=<location>, len=<length>}".
std::optional<QString> rangeTextIn(const AXAttributeResult& result) {
  if (result.error != AXError::success) return std::nullopt;
  if (const auto* range = std::get_if<AXTextRange>(&result.value)) {
    return QStringLiteral("{loc=") + QString::number(range->location) + QStringLiteral(", len=") +
           QString::number(range->length) + QStringLiteral("}");
  }
  return std::nullopt;
}

// Copies the selection of `app` with its copy key and reads it from the
// clipboard, which is put back afterwards. Emacs copies the text between mark
// and cursor also where no region is shown (the user ended it, or never made
// one since setting the mark): only a copy that ended a shown region is a
// selection, and Emacs then takes PRIMARY anew with the region's text. The
// copy also puts that text on Emacs's kill ring, where the user's next yank
// would find it: Emacs gets the key only while it seems to show a region.
std::optional<QString> copySelection(const RunningApplication& app) {
  const std::optional<KeyChord> chord = commandChord(KeyChord::Key::c, app);
  if (!chord) return std::nullopt;
  const bool emacs = isEmacs(app);
  if (emacs && !showsHighlightedSelection(app)) {
    trace(QStringLiteral("CmdC-Fallback: ") + appName(app) + QStringLiteral(" shows no region, no key sent"));
    return std::nullopt;
  }
  const ClipboardCopy copy = ClipboardCopy::take(app, *chord, emacs);
  if (!emacs || !copy.text) return copy.text;
  Pasteboard& primary = Pasteboard::primarySelection();
  if (copy.primaryTaken && primary.isOwnedBy(app) && primary.string() == copy.text) return copy.text;
  trace(QStringLiteral("CmdC-Fallback: ") + appName(app) +
        QStringLiteral(" copied the text between mark and cursor with no region shown, nothing selected"));
  return std::nullopt;
}

// What a terminal's accessible selection is worth. VTE says rightly whether
// text is highlighted, but once its screen has scrolled the range it gives
// lies elsewhere: an empty one at the end of the text, or one on another
// line. What the terminal highlights it also holds as the PRIMARY selection,
// which it takes at every new highlight and keeps only while the highlight
// is shown (it drops the highlight when another program takes PRIMARY), and
// which it serves itself: where the two disagree, PRIMARY is the terminal's
// word on what is highlighted, and `highlighted` is set to it.
//
// An accessible text that says nothing is highlighted is believed only where
// it shows the terminal's screen (showsTheScreen): cool-retro-term shows an
// empty text, with nothing selected, whatever its screen holds.
enum class TerminalSelection { accessible, highlighted, nothing };

// Whether a terminal's accessible text is its screen: it holds the first line
// of what the terminal has highlighted (a highlight of blanks proves nothing
// either way, and the text is believed).
bool showsTheScreen(const AXElementRef& element, const QString& highlighted) {
  QString firstLine;
  for (const QString& line : highlighted.split(u'\n')) {
    if (!(firstLine = line.trimmed()).isEmpty()) break;
  }
  if (firstLine.isEmpty()) return true;
  const std::optional<QString> screen = stringIn(element->copyAttributeValue(AXAttribute::value));
  return screen && screen->contains(firstLine);
}

TerminalSelection judgeTerminalSelection(const AXElementRef& element, const RunningApplication& terminal,
                                         const QString& accessibleText, QString* highlighted) {
  // Whether the accessible text says that nothing at all is highlighted.
  bool saysNothing = false;
  if (accessibleText.isEmpty()) {
    const AXAttributeResult count = element->copyAttributeValue(AXAttribute::selectionCount);
    const auto* selections = std::get_if<qint64>(&count.value);
    saysNothing = count.error != AXError::success || !selections || *selections == 0;
    if (!saysNothing) trace(QStringLiteral("AX: the terminal highlights text its accessible selection does not give"));
  }
  const TerminalSelection asAccessibilitySays =
      accessibleText.isEmpty() ? TerminalSelection::nothing : TerminalSelection::accessible;
  Pasteboard& primary = Pasteboard::primarySelection();
  if (!primary.isOwnedBy(terminal)) return asAccessibilitySays;
  *highlighted = primary.plainText(0).value_or(QString());
  if (highlighted->isEmpty() || *highlighted == accessibleText) return asAccessibilitySays;
  if (saysNothing) {
    if (showsTheScreen(element, *highlighted)) return TerminalSelection::nothing;
    trace(QStringLiteral("AX: the terminal's accessible text does not show its screen, no word on its highlight"));
  } else if (!accessibleText.isEmpty()) {
    trace(QStringLiteral("AX: the terminal's accessible selection (textLen=") +
          QString::number(characterCount(accessibleText)) + QStringLiteral(") is not what it highlights"));
  }
  return TerminalSelection::highlighted;
}

// A terminal's selection is its output, whatever its accessibility says: a
// rewrite of it is shown, never typed at the prompt.
void treatAsTerminalOutput(SelectionSnapshot& snapshot) {
  if (snapshot.isEditable == false) return;
  snapshot.isEditable = false;
  trace(QStringLiteral("snapshot: a terminal's selection is its output, isEditable=false"));
}

}  // namespace

QString SelectionSnapshot::rawValue(Source source) {
  switch (source) {
    case Source::axSystemWide: return QStringLiteral("AX-SystemWide");
    case Source::axApplication: return QStringLiteral("AX-Application");
    case Source::cmdCopy: return QStringLiteral("CmdC-Fallback");
  }
  return {};
}

std::optional<SelectionSnapshot::Source> SelectionSnapshot::sourceFromRawValue(const QString& raw) {
  for (Source source : {Source::axSystemWide, Source::axApplication, Source::cmdCopy}) {
    if (rawValue(source) == raw) return source;
  }
  return std::nullopt;
}

std::optional<SelectionSnapshot> SelectionSnapshot::capture() {
  AccessibilityTrust& trust = AccessibilityTrust::current();
  const std::optional<RunningApplication> front = FrontApplication::current().frontmost();
  // Terminals of the xterm kind, gvim and Xaw programs show no text to
  // accessibility: asking it would only cost the press its time.
  const bool readable = !pastesPrimarySelection(front);
  std::optional<SelectionSnapshot> snapshot;
  bool nothingSelected = false;
  if (readable && trust.isTrusted()) snapshot = captureSystemWide(&nothingSelected);
  if (readable && !snapshot && trust.isTrusted()) snapshot = captureApplication(&nothingSelected);
  if (!snapshot && nothingSelected) {
    trace(isTerminalEmulator(front) ? QStringLiteral("AX: nothing selected in the terminal, no copy")
                                    : QStringLiteral("AX: nothing selected in the focused editable element, no copy"));
    return std::nullopt;
  }
  if (snapshot && isTerminalEmulator(front)) treatAsTerminalOutput(*snapshot);
  if (!snapshot) snapshot = captureViaCmdC();
  return snapshot;
}

std::optional<SelectionSnapshot> SelectionSnapshot::captureSystemWide(bool* nothingSelected) {
  const Clock::time_point end = Clock::now() + captureTimeout;
  const AXElementRef systemWide = Accessibility::current().systemWide();
  boundByStep(systemWide, captureTimeout, end);
  const FocusedElement focused = focusedElement(systemWide);
  if (!focused.element) {
    qCDebug(lcSelection, "axSystemWide: focusedElement failed, err=%d", focused.error);
    trace(QStringLiteral("AX-SystemWide: focusedElement failed err=") + QString::number(focused.error));
    return std::nullopt;
  }
  return makeWithin(focused.element, Source::axSystemWide, end, nothingSelected);
}

std::optional<SelectionSnapshot> SelectionSnapshot::captureApplication(bool* nothingSelected) {
  const std::optional<RunningApplication> app = FrontApplication::current().frontmost();
  if (!app) return std::nullopt;
  const Clock::time_point end = Clock::now() + captureTimeout;
  const AXElementRef application = Accessibility::current().application(app->pid);
  boundByStep(application, captureTimeout, end);
  const FocusedElement focused = focusedElement(application);
  if (!focused.element) {
    const QString name = appName(app);
    qCDebug(lcSelection, "axApplication: focusedElement failed, app=%s, err=%d", qUtf8Printable(name), focused.error);
    trace(QStringLiteral("AX-Application: focusedElement failed app=") + name + QStringLiteral(" err=") +
          QString::number(focused.error));
    return std::nullopt;
  }
  return makeWithin(focused.element, Source::axApplication, end, nothingSelected);
}

std::optional<SelectionSnapshot> SelectionSnapshot::makeWithin(const AXElementRef& element, Source source,
                                                              std::chrono::steady_clock::time_point end,
                                                              bool* nothingSelected) {
  boundByStep(element, captureTimeout, end);
  bool editableAndEmpty = false;
  std::optional<SelectionSnapshot> snapshot = make(element, source, &editableAndEmpty);
  // The element outlives the capture (the selection is put back through it).
  element->setMessagingDeadline(Clock::time_point::max());
  if (Clock::now() >= end) {
    // Whatever was read by then may be only part of the answer.
    trace(QStringLiteral("snapshot[") + rawValue(source) + QStringLiteral("]: out of time, nothing found"));
    return std::nullopt;
  }
  if (nothingSelected && editableAndEmpty) *nothingSelected = true;
  return snapshot;
}

std::optional<SelectionSnapshot> SelectionSnapshot::make(const AXElementRef& element, Source source,
                                                        bool* nothingSelected) {
  const std::optional<QString> text = readStringAttribute(AXAttribute::selectedText, element);
  if (!text) return std::nullopt;
  const std::optional<RunningApplication> front = FrontApplication::current().frontmost();
  if (front && isTerminalEmulator(front)) {
    QString highlighted;
    const TerminalSelection judged = judgeTerminalSelection(element, *front, *text, &highlighted);
    // Taken as the highlight of a terminal without accessibility is: while no
    // click has cleared it, with no position, nothing to put back, never
    // typed over.
    if (judged == TerminalSelection::highlighted && showsHighlightedSelection(*front)) {
      trace(QStringLiteral("AX: read the terminal's highlighted text from PRIMARY, no key sent, textLen=") +
            QString::number(characterCount(highlighted)));
      return SelectionSnapshot{highlighted, AXTextRange{-1, -1}, nullptr, false, Source::cmdCopy};
    }
    if (judged != TerminalSelection::accessible) {
      if (nothingSelected) *nothingSelected = true;
      return std::nullopt;
    }
  }
  if (text->isEmpty()) {
    if (nothingSelected && !*nothingSelected) {
      const QString role = readStringAttribute(AXAttribute::role, element).value_or(QString());
      *nothingSelected = elementIsEditable(element, role);
    }
    return std::nullopt;
  }

  const qsizetype length = characterCount(*text);
  AXTextRange range{0, length};
  const AXAttributeResult rangeResult = element->copyAttributeValue(AXAttribute::selectedTextRange);
  if (rangeResult.error == AXError::success) {
    if (const auto* value = std::get_if<AXTextRange>(&rangeResult.value)) range = *value;
  }
  const QString role = readStringAttribute(AXAttribute::role, element).value_or(QString());
  const bool editable = elementIsEditable(element, role);

  const QString name = appName(front);
  qCInfo(lcSelection, "snapshot[%s]: app=%s, role=%s, textLen=%ld, isEditable=%s", qUtf8Printable(rawValue(source)),
         qUtf8Printable(name), qUtf8Printable(role), long(length), qUtf8Printable(boolWord(editable)));
  trace(QStringLiteral("snapshot[") + rawValue(source) + QStringLiteral("]: app=") + name + QStringLiteral(", role=") +
        role + QStringLiteral(", textLen=") + QString::number(length) + QStringLiteral(", isEditable=") +
        boolWord(editable));
  return SelectionSnapshot{*text, range, element, editable, source};
}

bool SelectionSnapshot::elementIsEditable(const AXElementRef& element, const QString& role) {
  const AXSettableResult settable = element->isAttributeSettable(AXAttribute::value);
  if (settable.error != AXError::success) {
    const bool editable = editableRoles().contains(role);
    trace(QStringLiteral("isEditable: AXUIElementIsAttributeSettable failed err=") + QString::number(settable.error) +
          QStringLiteral(", fallback to role check: role=") + role + QStringLiteral(", isEditable=") +
          boolWord(editable));
    return editable;
  }
  trace(QStringLiteral("isEditable: role=") + role + QStringLiteral(", AXValue settable=") +
        boolWord(settable.settable));
  return settable.settable;
}

std::optional<bool> SelectionSnapshot::cmdCopyIsEditable(const RunningApplication& app) {
  const Clock::time_point end = Clock::now() + editabilityProbeTimeout;
  // The focused element of `container` when its role can be read, with that role.
  const auto probe = [end](const AXElementRef& container) -> std::optional<std::pair<AXElementRef, QString>> {
    boundByStep(container, editabilityProbeTimeout, end);
    const FocusedElement focused = focusedElement(container);
    if (!focused.element) return std::nullopt;
    boundByStep(focused.element, editabilityProbeTimeout, end);
    const std::optional<QString> role = readStringAttribute(AXAttribute::role, focused.element);
    if (!role || role->isEmpty()) return std::nullopt;
    return std::make_pair(focused.element, *role);
  };

  // An element that shows no text to accessibility at all (Emacs draws its
  // own text in a bare panel) says nothing about the text the copy finds.
  const auto answer = [](const std::pair<AXElementRef, QString>& found, const QString& where) -> std::optional<bool> {
    const QString prefix = QStringLiteral("CmdC-isEditable: ") + where + QStringLiteral(" role=") + found.second;
    if (found.first->copyAttributeValue(AXAttribute::selectedText).error == AXError::attributeUnsupported) {
      trace(prefix + QStringLiteral(" shows no text, returning nil (undetermined)"));
      return std::nullopt;
    }
    const bool editable = elementIsEditable(found.first, found.second);
    trace(prefix + QStringLiteral(", isEditable=") + boolWord(editable));
    return editable;
  };

  // An answer found in time; the probe that ran out says nothing.
  const auto inTime = [end](std::optional<bool> editable) -> std::optional<bool> {
    if (Clock::now() < end) return editable;
    trace(QStringLiteral("CmdC-isEditable: out of time, returning nil (undetermined)"));
    return std::nullopt;
  };
  Accessibility& accessibility = Accessibility::current();
  if (const auto found = probe(accessibility.systemWide())) return inTime(answer(*found, QStringLiteral("SystemWide")));
  if (const auto found = probe(accessibility.application(app.pid))) {
    return inTime(answer(*found, QStringLiteral("Application")));
  }
  trace(QStringLiteral("CmdC-isEditable: AX role unavailable, returning nil (undetermined)"));
  return std::nullopt;
}

std::optional<SelectionSnapshot> SelectionSnapshot::captureViaCmdC() {
  const std::optional<RunningApplication> app = FrontApplication::current().frontmost();
  if (!app) return std::nullopt;
  const QString name = appName(app);
  std::optional<bool> editable;
  std::optional<QString> text;
  if (isTerminalEmulator(app) || pastesPrimarySelection(app)) {
    // What is highlighted in a terminal is its output, not the command line,
    // and no key replaces gvim's Visual selection without leaving Visual mode
    // (its copy key does nothing there, its paste is a middle click): an
    // answer is shown there, never typed over it. An Xaw text is cut and
    // pasted over (SelectionEraser). A terminal's copy key is never typed:
    // with nothing selected it can reach the running program as ^C.
    editable = isXawText(app);
    text = highlightedSelection(*app);
  } else {
    editable = cmdCopyIsEditable(*app);
    text = copySelection(*app);
  }

  if (text && !text->isEmpty()) {
    const qsizetype length = characterCount(*text);
    qCInfo(lcSelection, "cmdCopy snapshot: app=%s, textLen=%ld, isEditable=%s", qUtf8Printable(name), long(length),
           qUtf8Printable(optionalBoolWord(editable)));
    trace(QStringLiteral("CmdC-Fallback snapshot: app=") + name + QStringLiteral(", textLen=") +
          QString::number(length) + QStringLiteral(", isEditable=") + optionalBoolWord(editable));
    return SelectionSnapshot{*text, AXTextRange{-1, -1}, nullptr, editable, Source::cmdCopy};
  }
  qCDebug(lcSelection, "cmdCopy: no text captured from %s", qUtf8Printable(name));
  trace(QStringLiteral("CmdC-Fallback: no text captured from ") + name);
  return std::nullopt;
}

QCoro::Task<bool> SelectionSnapshot::restore(SelectionSnapshot snapshot) {
  const QString source = rawValue(snapshot.source);
  if (!snapshot.element) {
    qCInfo(lcSelectionRestore, "restore skipped: source=%s, no element", qUtf8Printable(source));
    co_return false;
  }
  if (snapshot.range.location < 0) {
    qCInfo(lcSelectionRestore, "restore skipped: invalid range");
    co_return false;
  }
  if (!AccessibilityTrust::current().isTrusted()) {
    qCCritical(lcSelectionRestore, "restore skipped: AX not trusted");
    co_return false;
  }
  if (!snapshot.range.isRepresentable()) {
    qCCritical(lcSelectionRestore, "restore skipped: AXValueCreate failed");
    co_return false;
  }
  // Setting a selection an application already shows is not harmless: GTK 4
  // drops it instead, and puts it back only on the next request.
  const AXAttributeResult current = co_await snapshot.element->copyAttributeValueLater(AXAttribute::selectedTextRange);
  const auto* currentRange = std::get_if<AXTextRange>(&current.value);
  if (current.error == AXError::success && currentRange && *currentRange == snapshot.range) {
    qCInfo(lcSelectionRestore, "restore skipped: selection already in place");
    trace(QStringLiteral("Selection restore skipped: selection already in place"));
    co_return true;
  }
  // An application that did not answer the read would not answer the write
  // either; it would only wait in its queue.
  if (current.error == AXError::cannotComplete) {
    qCInfo(lcSelectionRestore, "restore skipped: application not answering");
    trace(QStringLiteral("Selection restore skipped: application not answering"));
    co_return false;
  }
  const qsizetype length = characterCount(snapshot.text);
  qCInfo(lcSelectionRestore, "restore begin: source=%s, range={loc=%lld, len=%lld}, textLen=%ld",
         qUtf8Printable(source), static_cast<long long>(snapshot.range.location),
         static_cast<long long>(snapshot.range.length), long(length));
  trace(QStringLiteral("Selection restore begin: source=") + source + QStringLiteral(", range={loc=") +
        QString::number(snapshot.range.location) + QStringLiteral(", len=") + QString::number(snapshot.range.length) +
        QStringLiteral("}, textLen=") + QString::number(length));
  const qint32 result = co_await snapshot.element->setAttributeValue(AXAttribute::selectedTextRange, snapshot.range);
  qCInfo(lcSelectionRestore, "restore result: %s", qUtf8Printable(axErrorName(result)));
  trace(QStringLiteral("Selection restore result: ") + axErrorName(result));
  co_return result == AXError::success;
}

QCoro::Task<QString> SelectionSnapshot::selectionDiag(QString label) {
  const bool trusted = AccessibilityTrust::current().isTrusted();
  QString line = QStringLiteral("[SelectionDiag] ") + label + QStringLiteral(": AXTrusted=") + boolWord(trusted);
  const std::optional<RunningApplication> app = FrontApplication::current().frontmost();
  if (!app) co_return line + QStringLiteral(", no frontmost app");

  // Both asked before either answer is awaited: the desktop's accessibility
  // is not touched once this waits.
  Accessibility& accessibility = Accessibility::current();
  const AXElementRef systemWideRoot = accessibility.systemWide();
  const AXElementRef applicationRoot = accessibility.application(app->pid);
  QCoro::Task<AXAttributeResult> systemWideRead = systemWideRoot->copyAttributeValueLater(AXAttribute::focusedUIElement);
  QCoro::Task<AXAttributeResult> applicationRead =
      applicationRoot->copyAttributeValueLater(AXAttribute::focusedUIElement);
  const FocusedElement systemWide = focusedElementIn(co_await std::move(systemWideRead));
  const FocusedElement application = focusedElementIn(co_await std::move(applicationRead));
  line += QStringLiteral(", app=") + appName(app) + QStringLiteral("(pid=") + QString::number(app->pid) +
          QStringLiteral("), SW-focusErr=") + QString::number(systemWide.error) + QStringLiteral(", App-focusErr=") +
          QString::number(application.error);
  const AXElementRef element = systemWide.element ? systemWide.element : application.element;
  if (element) {
    const std::optional<QString> role = stringIn(co_await element->copyAttributeValueLater(AXAttribute::role));
    const std::optional<QString> text = stringIn(co_await element->copyAttributeValueLater(AXAttribute::selectedText));
    const std::optional<QString> range =
        rangeTextIn(co_await element->copyAttributeValueLater(AXAttribute::selectedTextRange));
    line += QStringLiteral(", role=") + role.value_or(QStringLiteral("nil")) + QStringLiteral(", textLen=") +
            QString::number(characterCount(text.value_or(QString()))) + QStringLiteral(", range=") +
            range.value_or(QStringLiteral("nil"));
  }
  co_return line;
}

std::optional<QString> SelectionSnapshot::readStringAttribute(const QString& attribute, const AXElementRef& element) {
  return stringIn(element->copyAttributeValue(attribute));
}

std::optional<QString> SelectionSnapshot::readRangeAttribute(const QString& attribute, const AXElementRef& element) {
  return rangeTextIn(element->copyAttributeValue(attribute));
}
