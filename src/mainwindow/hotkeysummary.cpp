#include "mainwindow/hotkeysummary.h"

#include "localization/appstrings.h"
#include "mainwindow/textlabel.h"
#include "pipeline/hotkeystorage.h"
#include "theme/cyberdividerline.h"
#include "theme/fonts.h"
#include "theme/gloweffect.h"
#include "theme/glowlabel.h"
#include "theme/neoncard.h"
#include "theme/palette.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The key combination on a tinted, outlined cap, glowing in its colour; it
// always keeps its full size.
class KeyCap : public QWidget {
 public:
  KeyCap(const QColor& accent, QWidget* parent) : QWidget(parent), accent_(accent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setGraphicsEffect(new GlowEffect(Glow{Palette::withOpacity(accent, 0.3), 3}, this));
  }

  QString text() const { return text_; }
  void setText(const QString& text) {
    text_ = text;
    updateGeometry();
    update();
  }

  QSize sizeHint() const override {
    const QFontMetricsF metrics(rajdhaniSemiBold(13));
    return QSize(int(std::ceil(metrics.horizontalAdvance(text_) + 28)), int(std::ceil(metrics.height() + 12)));
  }
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath cap;
    cap.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    painter.fillPath(cap, Palette::withOpacity(accent_, 0.1));
    painter.strokePath(cap, QPen(Palette::withOpacity(accent_, 0.4), 0.8));
    painter.setFont(rajdhaniSemiBold(13));
    painter.setPen(accent_);
    painter.drawText(rect(), Qt::AlignCenter, text_);
  }

 private:
  QColor accent_;
  QString text_;
};

// One row of the card: the key cap, then what it starts.
class ShortcutRow : public QWidget {
 public:
  ShortcutRow(const QColor& accent, QWidget* parent)
      : QWidget(parent),
        key_(new KeyCap(accent, this)),
        desc_(new TextLabel(rajdhaniMedium(15), Palette::cyberTextSecondary, this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 12, 0, 12);
    row->setSpacing(20);
    row->addWidget(key_);
    row->addWidget(desc_);
    row->addStretch(1);
  }

  void set(const QString& key, const QString& desc) {
    key_->setText(key);
    desc_->setText(desc);
  }
  QString key() const { return key_->text(); }
  QString desc() const { return desc_->text(); }

 private:
  KeyCap* key_;
  TextLabel* desc_;
};

QColor accentOf(HotKeyCombo combo) {
  switch (combo) {
    case HotKeyCombo::transcribe:
      return Palette::neonCyan;
    case HotKeyCombo::rewrite:
      return Palette::neonGreen;
    case HotKeyCombo::agent:
      break;
  }
  return Palette::neonOrange;
}

QString descriptionOf(HotKeyCombo combo) {
  const AppStrings& strings = currentStrings();
  switch (combo) {
    case HotKeyCombo::transcribe:
      return strings.hotkeyTranscribe;
    case HotKeyCombo::rewrite:
      return strings.hotkeyRewrite;
    case HotKeyCombo::agent:
      break;
  }
  return strings.hotkeyAgent;
}

}  // namespace

HotKeySummary::HotKeySummary(QWidget* parent)
    : QWidget(parent), title_(new GlowLabel(QString(), Palette::neonGreen, 14, QFont::ExtraBold, this)) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(16);
  column->addWidget(title_, 0, Qt::AlignLeft);

  auto* card = new NeonCard(Palette::cyberBorder, 4, this);
  auto* rows = new QVBoxLayout(card);
  rows->setContentsMargins(16, 0, 16, 0);
  rows->setSpacing(0);
  for (HotKeyCombo combo : allHotKeyCombos()) {
    if (!rows_.isEmpty()) {
      auto* divider = new QHBoxLayout;
      divider->setContentsMargins(16, 0, 0, 0);
      divider->addWidget(new CyberDividerLine(Palette::cyberSeparator, card));
      rows->addLayout(divider);
    }
    auto* row = new ShortcutRow(accentOf(combo), card);
    rows->addWidget(row);
    rows_.insert(combo, row);
  }
  column->addWidget(card);
}

HotKeyConfig HotKeySummary::shownConfig(const HotKeyConfigMap& configs, HotKeyCombo combo) {
  return configs.value(combo, HotKeyStorage::defaultConfig(combo));
}

void HotKeySummary::render(const HotKeyConfigMap& configs) {
  title_->setText(currentStrings().sectionHotkeys);
  for (auto row = rows_.begin(); row != rows_.end(); ++row) {
    static_cast<ShortcutRow*>(row.value())
        ->set(shownConfig(configs, row.key()).displayString(), descriptionOf(row.key()));
  }
}

QString HotKeySummary::keyText(HotKeyCombo combo) const { return static_cast<ShortcutRow*>(rows_.value(combo))->key(); }

QString HotKeySummary::description(HotKeyCombo combo) const {
  return static_cast<ShortcutRow*>(rows_.value(combo))->desc();
}
