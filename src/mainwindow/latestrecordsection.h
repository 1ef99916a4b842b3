#pragma once

#include "pipeline/recordinghistory.h"

#include <QWidget>

#include <optional>

class GlowLabel;
class NeonCard;
class NeonButton;
class TextLabel;

// The home page's view of the newest request: its time, and in a card what
// became of it: a progress line while it runs, its transcript and result
// once it succeeded (a search result rendered as markdown), or the failure
// with a button that sends the saved recording again while that still
// exists. Hidden while there is no request at all.
class LatestRecordSection : public QWidget {
  Q_OBJECT

 public:
  explicit LatestRecordSection(QWidget* parent = nullptr);

  // Shows `record` (none: the section hides) in the current language.
  // `force` redraws also when the record has not changed.
  void render(const std::optional<RecordingHistory>& record, bool force = false);

  const std::optional<RecordingHistory>& record() const { return record_; }
  NeonCard* card() const { return card_; }
  // The retry button of a failed request; none in every other case.
  NeonButton* retryButton() const { return retry_; }
  // The markdown view of a search result; none in every other case.
  QWidget* markdownView() const { return markdown_; }

 Q_SIGNALS:
  void retryRequested(const RecordingHistory& record);

 private:
  void fillCard();
  void addTextBlock(const QString& title, const QColor& titleColor, const QString& text, qreal size,
                    const QColor& color, bool selectable);

  std::optional<RecordingHistory> record_;
  GlowLabel* title_;
  TextLabel* time_;
  NeonCard* card_ = nullptr;
  NeonButton* retry_ = nullptr;
  QWidget* markdown_ = nullptr;
};
