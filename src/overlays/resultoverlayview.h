#pragma once

#include "overlays/overlaycontentview.h"

#include <optional>

class ChipButton;
class GlowingLabel;
class MarkdownScrollView;
class OverlayCloseButton;
class RollingLabel;
class ResultOverlayViewModel;
class ResultPlainText;

// The result card: a header (badge, title, copy chip, close button), a faint
// line, the text (rendered markdown that scrolls, or plain running text), and
// a footer (pin chip and the seconds left, "pinned" or "copied").
//
// It shows the model it is given and follows every change of it and of the
// interface language at once. The card is 680 wide for markdown, 420 for plain
// text; its panel decides the height.
class ResultOverlayView : public OverlayContentView {
  Q_OBJECT

 public:
  static constexpr int kPlainWidth = 420;
  static constexpr int kMarkdownWidth = 680;
  static constexpr int kMarkdownHeight = 510;

  explicit ResultOverlayView(ResultOverlayViewModel& model, QWidget* parent = nullptr);

  // The height the card takes at its width: its natural height.
  int fittingHeight() const;
  int cardWidth() const;

  ChipButton* copyButton() const { return copyButton_; }
  ChipButton* pinButton() const { return pinButton_; }
  OverlayCloseButton* closeButton() const { return closeButton_; }
  QString titleText() const;
  QString statusText() const;
  RollingLabel* statusLabel() const { return status_; }
  MarkdownScrollView* markdownView() const { return markdown_; }
  ResultPlainText* plainTextView() const { return plain_; }

  QPainterPath outline() const override;

 Q_SIGNALS:
  // The close button.
  void dismissRequested();
  // The copy chip.
  void copyRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void refresh();
  QWidget* makeHeader();
  QWidget* makeFooter();

  ResultOverlayViewModel& model_;
  QWidget* header_ = nullptr;
  QWidget* footer_ = nullptr;
  QWidget* badgeSlot_ = nullptr;
  GlowingLabel* title_ = nullptr;
  ChipButton* copyButton_ = nullptr;
  OverlayCloseButton* closeButton_ = nullptr;
  QWidget* markdownBox_ = nullptr;
  MarkdownScrollView* markdown_ = nullptr;
  QWidget* plainBox_ = nullptr;
  ResultPlainText* plain_ = nullptr;
  ChipButton* pinButton_ = nullptr;
  RollingLabel* status_ = nullptr;
  // The seconds left as the status shows them (none while pinned or copied).
  std::optional<int> shownCountdown_;
};
