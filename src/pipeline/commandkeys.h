#pragma once

#include "platform/frontapplication.h"
#include "platform/synthetickeyboard.h"

#include <optional>

// The copy, cut and paste commands the program types into other applications.
//
// A command aimed at a process goes out only while that process owns the
// focused window: keys typed after the user switched away would land in the
// wrong application. Without a process the keys go to whatever has the focus.

// Pastes into process `pid`; without one, into the front application (and
// when there is none either, into whatever has the focus). True when typed.
bool postCommandV(std::optional<qint32> pid);

// Copies from process `pid`; without one, from whatever has the focus.
// True when typed.
bool postCommandC(std::optional<qint32> pid);

// Types `chord` into process `pid`. True when typed.
bool postChord(const KeyChord& chord, qint32 pid);

// The chord that copies (key c) or pastes (key v) in `app`. Terminal emulators
// take Control+Shift, since their Control+C interrupts the running program.
// Terminals of the xterm kind turn every Control chord into a control
// character: they paste the PRIMARY selection on Shift+Insert and have no copy
// chord at all. Nor have gvim and Xaw text programs, whose Control+Insert
// switches a mode (see pastesPrimarySelection). Everywhere else the copy is
// Control+Insert and the paste Shift+Insert, which every toolkit takes for a
// copy and a paste: a terminal inside a web page or an editor built on a
// browser engine reads Control+C with nothing selected as an interrupt, and
// Emacs reads Control+V as a page down. A terminal in a web page pastes
// PRIMARY on Shift+Insert, as xterm does.
std::optional<KeyChord> commandChord(KeyChord::Key key, const std::optional<RunningApplication>& app);

// Whether `app` is a terminal of the xterm kind: what is highlighted in it is
// the PRIMARY selection it owns, and its paste takes PRIMARY.
bool isPrimarySelectionTerminal(const std::optional<RunningApplication>& app);

// Whether `app` is a terminal emulator of either kind above. What is selected
// in one is its output, never a field the answer could replace; it takes
// PRIMARY when the user highlights text; and its copy key is no key to try:
// Konsole's copy with nothing selected reaches the running program as ^C.
bool isTerminalEmulator(const std::optional<RunningApplication>& app);

// Whether `app` is gvim. Its Visual selection is the PRIMARY selection it
// owns (and keeps once Visual mode ends); Control+Insert acts as Insert there
// (Replace mode in Insert mode, nothing copied in Visual mode), and Shift+Insert
// is a middle click: it pastes PRIMARY, at the cursor in Insert mode.
bool isGvim(const std::optional<RunningApplication>& app);

// Whether `app` is a program built on the Athena (Xaw) text widget, xedit and
// its kin. Its selection is PRIMARY only, never the clipboard; Control+Insert
// toggles overwrite, Shift+Insert inserts PRIMARY at the caret (beside a
// selection) and Shift+Delete deletes the selection, giving PRIMARY up.
bool isXawText(const std::optional<RunningApplication>& app);

// Whether `app` has no copy key and pastes PRIMARY on Shift+Insert: terminals
// of the xterm kind, gvim and Xaw text programs. What it shows highlighted is
// read from PRIMARY, and a paste lends the text to PRIMARY.
bool pastesPrimarySelection(const std::optional<RunningApplication>& app);

// Whether `app` takes PRIMARY again after every key that leaves a selection
// shown (Emacs with its region, gvim in Visual mode): a key that reached it
// since it last took PRIMARY has ended the selection it holds there.
bool retakesPrimaryWhileSelecting(const std::optional<RunningApplication>& app);

// Whether `app` is Emacs. Its copy key copies the text between mark and
// cursor whether or not a region is shown, and ends the region it copies.
bool isEmacs(const std::optional<RunningApplication>& app);

// Whether `app` pastes beside a selection instead of over it: Emacs (unless
// the user turned on delete-selection-mode, which no other program can see),
// Tk programs on X11 and Xaw text programs. Their cut key is Shift+Delete.
bool pastesBesideSelection(const std::optional<RunningApplication>& app);
