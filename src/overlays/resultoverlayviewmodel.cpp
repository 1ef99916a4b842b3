#include "overlays/resultoverlayviewmodel.h"

void ResultOverlayViewModel::setText(const QString& text) {
  if (text_ == text) return;
  text_ = text;
  Q_EMIT textChanged();
}

void ResultOverlayViewModel::setIsMarkdown(bool isMarkdown) {
  if (isMarkdown_ == isMarkdown) return;
  isMarkdown_ = isMarkdown;
  Q_EMIT isMarkdownChanged();
}

void ResultOverlayViewModel::setCountdown(int countdown) {
  if (countdown_ == countdown) return;
  countdown_ = countdown;
  Q_EMIT countdownChanged();
}

void ResultOverlayViewModel::setPinned(bool pinned) {
  if (pinned_ == pinned) return;
  pinned_ = pinned;
  Q_EMIT pinnedChanged();
}

void ResultOverlayViewModel::setCopied(bool copied) {
  if (copied_ == copied) return;
  copied_ = copied;
  Q_EMIT copiedChanged();
}
