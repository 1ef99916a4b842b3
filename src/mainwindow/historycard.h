#pragma once

#include "pipeline/recordinghistory.h"
#include "theme/neoncard.h"

#include <QMessageBox>
#include <QPointer>

class OutlineButton;
class PlainButton;
class QVBoxLayout;

// One stored request in the history list: what kind it was, when it ran, how
// long the service took and how it ended; its answer in short and, expanded,
// the whole transcript and result with copy buttons; and the actions on it:
// show a search result in the floating panel again, process the saved
// recording again, delete the recording, delete the request.
//
// Everything shown comes from the record; everything changed goes through the
// history store and the request flow, whose new records reach the card
// through setRecord(). Its four flags (expanded, the delete question, the two
// "copied" marks) are the card's own and outlive new records.
//
// Expanding and collapsing on screen moves the card's height to its new
// natural height over 0.2 s; the content is laid out at its own height
// meanwhile and the card reveals or hides it.
class HistoryCard : public NeonCard {
  Q_OBJECT

 public:
  explicit HistoryCard(const RecordingHistory& record, QWidget* parent = nullptr);
  ~HistoryCard() override;

  const RecordingHistory& record() const { return record_; }
  // The record as it is now; drawn again, the flags kept.
  void setRecord(const RecordingHistory& record);
  // Draws everything again from the record and the current language.
  void render();

  bool isExpanded() const { return isExpanded_; }
  bool showDeleteConfirm() const { return deleteDialog_ && deleteDialog_->isVisible(); }
  bool resultCopied() const { return resultCopied_; }
  bool transcriptCopied() const { return transcriptCopied_; }

  // The card's actions.
  void toggleExpanded();
  void copyTranscript();
  void copyResult();
  void openInFloatingWindow();
  void retry();
  void deleteAudioOnly();
  void askDelete();
  void deleteRecordAndAudio();
  void deleteRecordOnly();

  // What the card shows now (none where it shows nothing of the kind).
  QAbstractButton* expandButton() const { return expand_; }
  PlainButton* transcriptCopyButton() const { return transcriptCopy_; }
  PlainButton* resultCopyButton() const { return resultCopy_; }
  OutlineButton* floatingWindowButton() const { return floating_; }
  QWidget* markdownView() const { return markdown_; }
  PlainButton* retryButton() const { return retry_; }
  PlainButton* deleteAudioButton() const { return deleteAudio_; }
  PlainButton* deleteButton() const { return delete_; }
  QMessageBox* deleteDialog() const { return deleteDialog_; }
  // The short form of the answer (the result, the search caption or noResult).
  QString summary() const;

  // The expanding or collapsing on screen.
  const QVariantAnimation& heightAnimation() const { return height_->animation(); }

  // How long "copied" stays on a copy button.
  static constexpr int copiedMilliseconds = 1500;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void easeHeight(int from);
  void placeContent();
  QWidget* makeMetaRow(QWidget* parent);
  QWidget* makeBody(QWidget* parent);
  QWidget* makeSummaryRow(QWidget* parent);
  QWidget* makeDetails(QWidget* parent);
  QWidget* makeTextSection(const QString& title, const QColor& titleColor, const QString& text, PlainButton*& copy,
                           QWidget* parent);
  QWidget* makeActionRow(QWidget* parent);
  PlainButton* makeCopyButton(bool copied, QWidget* parent);
  void showCopied(PlainButton* button, bool copied) const;
  void copy(const QString& text, bool& flag, PlainButton* const& button);

  RecordingHistory record_;
  bool isExpanded_ = false;
  bool resultCopied_ = false;
  bool transcriptCopied_ = false;
  QPointer<QMessageBox> deleteDialog_;

  QVBoxLayout* column_;
  EasedValue* height_;
  QWidget* content_ = nullptr;
  QAbstractButton* expand_ = nullptr;
  QWidget* summary_ = nullptr;
  PlainButton* transcriptCopy_ = nullptr;
  PlainButton* resultCopy_ = nullptr;
  OutlineButton* floating_ = nullptr;
  QWidget* markdown_ = nullptr;
  PlainButton* retry_ = nullptr;
  PlainButton* deleteAudio_ = nullptr;
  PlainButton* delete_ = nullptr;
};
