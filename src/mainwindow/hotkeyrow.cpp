#include "mainwindow/hotkeyrow.h"

#include "localization/appstrings.h"
#include "mainwindow/hotkeybutton.h"
#include "mainwindow/symbolbutton.h"
#include "mainwindow/textlabel.h"
#include "theme/fonts.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace Palette;

HotKeyRow::HotKeyRow(HotKeyCombo combo, QWidget* parent) : QWidget(parent), combo_(combo) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(22, 16, 22, 16);
  row->setSpacing(16);

  auto* texts = new QVBoxLayout();
  texts->setSpacing(5);
  title_ = new TextLabel(rajdhaniSemiBold(15), cyberTextPrimary, this);
  subtitle_ = new TextLabel(rajdhaniMedium(12), cyberTextTertiary, this);
  subtitle_->setWordWrap(true);
  heldLabel_ = new TextLabel(rajdhaniSemiBold(12), neonRed, this);
  heldLabel_->setWordWrap(true);
  heldLabel_->setVisible(false);
  texts->addWidget(title_);
  texts->addWidget(subtitle_);
  texts->addWidget(heldLabel_);
  row->addLayout(texts, 1);

  keyButton_ = new HotKeyButton(this);
  row->addWidget(keyButton_);
  clearButton_ = new SymbolButton(QStringLiteral("xmark"), 12, cyberTextTertiary, this);
  row->addWidget(clearButton_);

  connect(keyButton_, &QAbstractButton::clicked, this, [this] { Q_EMIT tapped(combo_); });
  connect(clearButton_, &QAbstractButton::clicked, this, [this] { Q_EMIT cleared(combo_); });
}

void HotKeyRow::setState(const QString& title, const QString& subtitle, const HotKeyConfig& config,
                         bool isRecording, bool heldElsewhere) {
  title_->setText(title);
  subtitle_->setText(subtitle);
  heldLabel_->setText(currentStrings().hotkeyHeldElsewhere);
  heldLabel_->setVisible(heldElsewhere);
  keyButton_->setAccent(isRecording ? neonOrange : neonCyan);
  keyButton_->setText(isRecording ? currentStrings().pressHotkeyHint : config.displayString());
}
