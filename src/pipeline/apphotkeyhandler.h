#pragma once

#include "pipeline/actiondispatcher.h"
#include "pipeline/hotkeycombo.h"
#include "pipeline/recordprocessor.h"
#include "pipeline/selectionrestorer.h"
#include "pipeline/selectionsnapshot.h"
#include "pipeline/textinserter.h"

#include <QCoroTask>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <optional>

class AudioRecorder;
class HistoryStore;

// The request flow: one hotkey press starts a recording, the next one (or the
// end of the longest recording) stops it and hands it to the service, and the
// answer is carried out where the user was working. The only place that
// decides whether a press starts, stops or is ignored.
//
// The microphone opens at the press, so that nothing said from then on is
// lost; the selection and the application in front are taken while it
// already records, before the recording indicator shows, because showing it
// can make an application drop its selection: the flow puts the selection
// back at once, a few times while recording, and when processing begins.
// None of that waits for the application: its answers are logged when they
// come, and only the answer's paste waits until the selection is back.
// Presses during a start (the selection alone can take 0.3 s) are ignored.
// Closing the indicator cancels the recording, or the wait for the service.
//
// One per process (shared()), main thread only; presses arrive through the
// permission model's hotKeyPressed signal.
class AppHotKeyHandler : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool skipSystemPaste READ skipSystemPaste WRITE setSkipSystemPaste)

 public:
  static AppHotKeyHandler& shared();

  // A flow over `recorder` and `history` (tests pass their own recorder).
  AppHotKeyHandler(AudioRecorder& recorder, HistoryStore& history, QObject* parent = nullptr);

  // A hotkey was pressed: starts, stops or is ignored, by the recorder's state.
  void handleHotKey(HotKeyCombo combo);

  // Sends a stored recording to the service and carries out the answer: the
  // end of every recording, and the retry of a history record (which passes
  // the record's id, operation, audio file and selected text only). Never
  // throws; a failure ends up in the record and the latest result.
  QCoro::Task<void> processRecord(QString id, QString operation, std::optional<QString> audioFilePath,
                                  std::optional<QString> selectedText,
                                  std::optional<SelectionSnapshot> snapshot = std::nullopt,
                                  std::optional<QStringList> clipboardHistory = std::nullopt,
                                  std::optional<qint32> targetPid = std::nullopt);

  // While the onboarding is on screen results only go to the clipboard: the
  // practice page reads them from there. The onboarding sets and clears it.
  bool skipSystemPaste() const { return inserter_.skipSystemPaste(); }
  void setSkipSystemPaste(bool skip) { inserter_.setSkipSystemPaste(skip); }

  // The parts of the flow (tests reach them to stand in for the agent).
  ActionDispatcher& dispatcher() { return dispatcher_; }
  TextInserter& inserter() { return inserter_; }
  RecordProcessor& processor() { return processor_; }

  // The request being started or recorded: its operation ("transcribe",
  // "rewrite", "agent"), the selection, the application in front and the
  // clipboard context. They are still set while the recorder announces the
  // stop, and forgotten right after.
  std::optional<QString> currentOperation() const { return currentOperation_; }
  bool isStartingRecording() const { return isStartingRecording_; }
  std::optional<SelectionSnapshot> selectionSnapshot() const { return selectionSnapshot_; }
  std::optional<qint32> targetAppPid() const { return targetAppPid_; }
  QStringList clipboardHistory() const { return clipboardHistory_; }

  // The steps a press, the longest recording, a lost microphone and the
  // indicator's close button lead to.
  QCoro::Task<void> startRecording();
  QCoro::Task<void> stopAndProcess();
  // The microphone went away with no other to go on: the user is told, and
  // what was recorded is processed like any stopped recording.
  void stopAfterInputLost();
  void cancelRecording();
  void cancelProcessing();

  // The delays, in milliseconds, at which the selection is put back while
  // recording (some applications drop it a moment after the indicator shows).
  static const QList<quint64>& probeDelays();

 private:
  void finishStart(bool engineStarted);
  // Ends the start once the presses that came during it have been handled.
  void endStartAfterWaitingPresses();
  void scheduleProbeRestores();
  QCoro::Task<void> probeRestore(quint64 ms, quint64 recording);
  // The restore at the start of a recording, or when its processing begins;
  // logs the answer when it comes.
  enum class RestorePhase { start, processing };
  QCoro::Task<void> restoreAndLog(SelectionSnapshot snapshot, RestorePhase phase);
  // Forgets the request being started or recorded.
  void clearRequest();
  // After a request whose recording the history did not copy: keeps the
  // recording for a retry when the request failed, else removes it.
  void keepForRetryOrRemove(const QString& id, const QString& recordingPath);

  AudioRecorder& recorder_;
  HistoryStore& history_;
  SelectionRestorer restorer_;
  TextInserter inserter_;
  ActionDispatcher dispatcher_;
  RecordProcessor processor_;

  std::optional<QString> currentOperation_;
  std::optional<qint32> targetAppPid_;
  QStringList clipboardHistory_;
  std::optional<SelectionSnapshot> selectionSnapshot_;
  // From the press until the recorder has answered the start and the presses
  // that came meanwhile have been handled (they are ignored).
  bool isStartingRecording_ = false;
  QTimer startSettleTimer_;
  // Numbers the recordings, so that a probe scheduled for one never acts on
  // a later one.
  quint64 recordingNumber_ = 0;
};
