#pragma once

#include <QObject>
#include <QString>

#include <optional>

// The outcome of the latest request (what was heard, what came back, or why it
// failed), for the views that show it. Lives for the whole run, starts empty
// and is never stored.
//
// Every assignment is signalled, also of an equal value: the practice pages
// react to each new answer, even one that repeats the previous.
class RecordingResultStore : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString transcript READ transcript NOTIFY transcriptChanged)
  Q_PROPERTY(QString result READ result NOTIFY resultChanged)
  Q_PROPERTY(QString errorMessage READ errorMessageText NOTIFY errorMessageChanged)

 public:
  static RecordingResultStore& shared();

  QString transcript() const { return transcript_; }
  QString result() const { return result_; }
  std::optional<QString> errorMessage() const { return errorMessage_; }

  // Sets the three fields in this order, each with its signal.
  void update(const QString& transcript, const QString& result, const std::optional<QString>& errorMessage);
  // Empty texts and no error.
  void reset();

 Q_SIGNALS:
  void transcriptChanged();
  void resultChanged();
  void errorMessageChanged();

 private:
  RecordingResultStore() = default;
  QString errorMessageText() const { return errorMessage_.value_or(QString()); }

  QString transcript_;
  QString result_;
  std::optional<QString> errorMessage_;
};
