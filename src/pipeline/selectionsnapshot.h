#pragma once

#include "platform/accessibleelement.h"
#include "platform/frontapplication.h"

#include <QCoroTask>
#include <QString>

#include <chrono>
#include <optional>

// The text the user had selected in the front application when a request
// started, and where it came from. The selection decides how the answer is
// delivered (pasted into an editable field, otherwise shown in a panel), and
// the selection is put back while recording because showing the recording
// indicator can make some applications drop it.
//
// Three ways to read it, tried in order by capture(): the focused element of
// the whole desktop, the focused element of the front application (both only
// while the program is trusted to drive other applications), and last a
// synthetic copy command whose result is read from the clipboard (the user's
// clipboard is put back afterwards); in a terminal emulator, whose copy key
// can interrupt the program running in it, its PRIMARY selection instead, with
// no key, and never as an editable text. In Emacs the copy counts only where
// it ended a region that was shown. Where accessibility finds nothing
// selected in the focused field that is editable, or in a terminal, nothing is
// copied: some editors copy their current line without a selection, which
// would be taken for the user's.
//
// Everything runs on the main thread. The captures are synchronous (a press
// waits for its selection anyway): each accessibility capture ends within
// 1 s and the copy's editability probe within 0.5 s, however many calls they
// make, and the copy within 0.3 s. Putting the selection back and
// the diagnostic line, which run while the user records, wait for no
// application: they answer once the application has answered.
struct SelectionSnapshot {
  enum class Source { axSystemWide, axApplication, cmdCopy };

  // The selected text, never empty.
  QString text;
  // Where the selection lies in the element; {-1, -1} when no position is known.
  AXTextRange range{-1, -1};
  // The element the text was read from; none for the copy command.
  AXElementRef element;
  // Whether the element accepts a value; nothing when undetermined.
  std::optional<bool> isEditable;
  Source source = Source::cmdCopy;

  // "AX-SystemWide", "AX-Application", "CmdC-Fallback".
  static QString rawValue(Source source);
  static std::optional<Source> sourceFromRawValue(const QString& raw);

  // The three methods in order, the trust asked again before each
  // accessibility method; nothing when none found a selection.
  static std::optional<SelectionSnapshot> capture();

  // `nothingSelected`, when given, is set when the focused element has
  // nothing selected and is editable or part of a terminal.
  static std::optional<SelectionSnapshot> captureSystemWide(bool* nothingSelected = nullptr);
  static std::optional<SelectionSnapshot> captureApplication(bool* nothingSelected = nullptr);
  static std::optional<SelectionSnapshot> captureViaCmdC();

  // Sets the snapshot's range as the element's selection again, unless the
  // element's selection already is that range. True when it is in place.
  static QCoro::Task<bool> restore(SelectionSnapshot snapshot);

  // One line describing the accessibility state, for the log and the trace.
  static QCoro::Task<QString> selectionDiag(QString label);

  // The snapshot of `element`'s selection (nothing without selected text;
  // then `nothingSelected`, when given, tells whether the element is editable or
  // part of a terminal).
  static std::optional<SelectionSnapshot> make(const AXElementRef& element, Source source,
                                               bool* nothingSelected = nullptr);
  // make() as the last part of a capture that must have ended by `end`: a
  // snapshot read by then, else nothing. Sets `nothingSelected` (when given)
  // only on an answer read in time.
  static std::optional<SelectionSnapshot> makeWithin(const AXElementRef& element, Source source,
                                                     std::chrono::steady_clock::time_point end,
                                                     bool* nothingSelected = nullptr);
  // Whether the element accepts a value; when the desktop cannot say, whether
  // its role is one of the text-entry roles.
  static bool elementIsEditable(const AXElementRef& element, const QString& role);
  // Editability of the focused element for the copy method: nothing when no
  // role can be read, or when the element shows no text to accessibility.
  static std::optional<bool> cmdCopyIsEditable(const RunningApplication& app);

  static std::optional<QString> readStringAttribute(const QString& attribute, const AXElementRef& element);
  // "{loc=<location>, len=<length>}".
  static std::optional<QString> readRangeAttribute(const QString& attribute, const AXElementRef& element);
};
