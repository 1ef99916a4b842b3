#pragma once

#include "pipeline/clipboardformatswait.h"
#include "pipeline/primaryselectionloan.h"
#include "pipeline/selectionsnapshot.h"

#include <QCoroTask>
#include <QObject>
#include <QString>

#include <optional>

// Puts a result at the cursor of the application that was in front when the
// recording started: on the clipboard, then a paste command typed into that
// application. The user's earlier clipboard is not put back: the result stays
// there, so it can always be pasted again by hand.
//
// Whether to paste at all is decided from the selection taken at the start:
// a result that only repeats the selection is dropped, a read-only selection
// gets the result panel instead, and where nobody could tell whether the
// field is editable the paste is checked afterwards by copying the selection
// back: when it still holds the text selected at the start, the paste did
// not land and the result panel shows the text, so nothing is lost. A copy
// that brings nothing back proves nothing (a paste over a selection leaves
// none to copy): the trace says the paste could not be verified, and the
// result stays on the clipboard.
//
// The paste key is Shift+Insert, which pastes the PRIMARY selection in
// terminals of the xterm kind, in terminals inside web pages, in gvim and in
// Xaw texts: the result goes there too for the moment of the paste. Emacs,
// Tk and Xaw paste beside a selection: a selection the result replaces is cut
// first, when it is surely still the one selected (SelectionEraser). Programs
// that fetch the clipboard's formats when it changes hands are given the
// moment to do so before the key (ClipboardFormatsWait).
//
// Main thread only.
class TextInserter : public QObject {
  Q_OBJECT

 public:
  explicit TextInserter(QObject* parent = nullptr);

  // The paste decision for a "paste" answer.
  void insert(const QString& result, const std::optional<QString>& selectedText,
              const std::optional<SelectionSnapshot>& snapshot, std::optional<qint32> pid);

  // Clipboard, then the paste command (unless the onboarding holds pastes
  // back, or the desktop does not let us type) once the program in front has
  // had its moment to fetch the clipboard's formats. An empty text does
  // nothing. When the keys cannot go out to `pid`, the result panel shows the
  // text and the answer is false. A paste that replaces the selected text
  // `replacing` deletes it first where the application would paste beside it.
  QCoro::Task<bool> pasteText(QString text, std::optional<qint32> pid,
                              std::optional<QString> replacing = std::nullopt);

  // Checks a paste into a field of unknown editability (about 350 ms).
  QCoro::Task<void> pasteAndVerify(std::optional<qint32> pid, QString originalText, QString result);

  // While the onboarding is on screen, results only go to the clipboard.
  bool skipSystemPaste() const { return skipSystemPaste_; }
  void setSkipSystemPaste(bool skip) { skipSystemPaste_ = skip; }

  // The user was asked for the desktop's trust at a paste and did not give it:
  // later pastes fill the clipboard without asking again, until the trust is
  // there again.
  bool fillPermissionDenied() const { return fillPermissionDenied_; }

 private:
  // The paste, then its check.
  QCoro::Task<void> pasteAndCheck(QString result, std::optional<qint32> pid, QString selectedText);

  PrimarySelectionLoan primaryLoan_;
  ClipboardFormatsWait formatsWait_;
  bool skipSystemPaste_ = false;
  bool fillPermissionDenied_ = false;
};
