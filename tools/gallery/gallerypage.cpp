#include "gallerypage.h"

#include "localization/appstrings.h"
#include "theme/cornerbrackets.h"
#include "theme/cyberbggradient.h"
#include "theme/cyberdividerline.h"
#include "theme/cybertextfield.h"
#include "theme/fonts.h"
#include "theme/glowlabel.h"
#include "theme/neonbutton.h"
#include "theme/neoncard.h"
#include "theme/neontitlelabel.h"
#include "theme/palette.h"
#include "theme/scanlinetexture.h"
#include "theme/symbolimage.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

QLabel* textLabel(const QString& text, const QFont& font, const QColor& color) {
  auto* label = new QLabel(text);
  label->setFont(font);
  QPalette colours = label->palette();
  colours.setColor(QPalette::WindowText, color);
  label->setPalette(colours);
  return label;
}

// A section: a title and a divider over the section's content.
QWidget* section(const QString& title, QLayout* content) {
  auto* box = new QWidget;
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(12);
  column->addWidget(new GlowLabel(QStringLiteral("◈ ") + title, Palette::neonCyan, 14, QFont::ExtraBold));
  column->addWidget(new CyberDividerLine(Palette::neonCyan));
  column->addLayout(content);
  return box;
}

class Swatch : public QWidget {
 public:
  Swatch(const char* name, const QColor& color) : name_(QString::fromLatin1(name)), color_(color) {
    setFixedSize(150, 64);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(color_);
    painter.setPen(QPen(Palette::cyberBorder, 1));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 40, 40), 6, 6);
    painter.setFont(rajdhaniSemiBold(12));
    painter.setPen(Palette::cyberTextPrimary);
    painter.drawText(QRectF(48, 0, 102, 20), Qt::AlignLeft | Qt::AlignVCenter, name_);
    painter.setFont(rajdhaniMedium(11));
    painter.setPen(Palette::cyberTextTertiary);
    painter.drawText(QRectF(48, 20, 102, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("%1 · %2").arg(color_.name(), QString::number(color_.alphaF(), 'f', 2)));
  }

 private:
  QString name_;
  QColor color_;
};

// Corner brackets over whatever lies below; clicks pass through.
class Brackets : public QWidget {
 public:
  Brackets(const QColor& color, qreal size, QWidget* over) : QWidget(over), brackets_{color, size} {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    over->installEventFilter(this);
    setGeometry(over->rect());
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return false;
  }
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    brackets_.paint(painter, QRectF(rect()).adjusted(1, 1, -1, -1));
  }

 private:
  CornerBrackets brackets_;
};

class SymbolTile : public QWidget {
 public:
  explicit SymbolTile(const QString& name) : name_(name) { setFixedSize(112, 64); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const qreal side = SymbolImage::boxSide(22);
    SymbolImage::paint(painter, QRectF((width() - side) / 2, 4, side, side), name_, Palette::neonCyan);
    painter.setFont(rajdhaniMedium(10));
    painter.setPen(Palette::cyberTextSecondary);
    painter.drawText(QRectF(0, 34, width(), 30), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWrapAnywhere, name_);
  }

 private:
  QString name_;
};

QLayout* paletteSection() {
  auto* grid = new QGridLayout;
  grid->setSpacing(8);
  const std::pair<const char*, QColor> entries[] = {
      {"cyberBgTop", Palette::cyberBgTop},         {"cyberBgBottom", Palette::cyberBgBottom},
      {"cyberPanelBg", Palette::cyberPanelBg},     {"cyberCardBg", Palette::cyberCardBg},
      {"cyberBgDeep", Palette::cyberBgDeep},       {"neonCyan", Palette::neonCyan},
      {"neonGreen", Palette::neonGreen},           {"neonLime", Palette::neonLime},
      {"neonPink", Palette::neonPink},             {"neonOrange", Palette::neonOrange},
      {"neonRed", Palette::neonRed},               {"neonYellow", Palette::neonYellow},
      {"neonPurple", Palette::neonPurple},         {"cyberTextPrimary", Palette::cyberTextPrimary},
      {"cyberTextSecondary", Palette::cyberTextSecondary}, {"cyberTextTertiary", Palette::cyberTextTertiary},
      {"cyberBorder", Palette::cyberBorder},       {"cyberSeparator", Palette::cyberSeparator},
  };
  int index = 0;
  for (const auto& [name, color] : entries) {
    grid->addWidget(new Swatch(name, color), index / 6, index % 6);
    ++index;
  }
  return grid;
}

QLayout* fontsSection(const AppStrings& strings) {
  auto* column = new QVBoxLayout;
  column->setSpacing(6);
  const QString sample = strings.hotkeyVoiceInputDesc + QStringLiteral(" 0123456789");
  column->addWidget(textLabel(QStringLiteral("rajdhaniMedium(16) — ") + sample, rajdhaniMedium(16), Palette::cyberTextPrimary));
  column->addWidget(textLabel(QStringLiteral("rajdhaniSemiBold(16) — ") + sample, rajdhaniSemiBold(16), Palette::cyberTextPrimary));
  column->addWidget(textLabel(QStringLiteral("rajdhaniBold(16) — ") + sample, rajdhaniBold(16), Palette::cyberTextPrimary));
  column->addWidget(textLabel(QStringLiteral("orbitronFont(20, bold) — VELTRINE 42"), orbitronFont(20, QFont::Bold), Palette::neonCyan));
  column->addWidget(textLabel(QStringLiteral("orbitronFont(20, black) — VELTRINE 42"), orbitronFont(20, QFont::Black), Palette::neonGreen));
  column->addWidget(textLabel(QStringLiteral("⟐ ◈ ▶ ◉ ● ○ ◂ ▸ ■ ⏳ ✓ 🦞 — 简体中文 · 繁體中文 · 粵語（廣東省版）· 한국어 · Русский"),
                              rajdhaniSemiBold(15), Palette::cyberTextSecondary));
  return column;
}

QLayout* scaffoldSection(const AppStrings& strings) {
  auto* column = new QVBoxLayout;
  auto* header = new QHBoxLayout;
  header->setContentsMargins(36, 24, 36, 24);
  header->addWidget(new NeonTitleLabel(strings.pageDict, {Palette::neonCyan, Palette::neonGreen}, 22));
  header->addStretch();
  auto* add = new NeonButton(strings.add, Palette::neonCyan);
  add->setLeadingSymbol(QStringLiteral("plus"), 13);
  add->setLabelFont(rajdhaniSemiBold(13));
  add->setSpacing(8);
  header->addWidget(add);
  column->setSpacing(0);
  column->addLayout(header);
  column->addWidget(new CyberDividerLine(Palette::neonCyan));
  return column;
}

QLayout* buttonsSection(const AppStrings& strings) {
  auto* column = new QVBoxLayout;
  column->setSpacing(14);
  auto* colours = new QHBoxLayout;
  colours->setSpacing(14);
  for (const auto& [name, color] : {std::pair{"CYAN", Palette::neonCyan}, std::pair{"GREEN", Palette::neonGreen},
                                    std::pair{"ORANGE", Palette::neonOrange}, std::pair{"RED", Palette::neonRed},
                                    std::pair{"PURPLE", Palette::neonPurple},
                                    std::pair{"SECONDARY", Palette::cyberTextSecondary}}) {
    colours->addWidget(new NeonButton(QString::fromLatin1(name), color));
  }
  colours->addStretch();
  auto* states = new QHBoxLayout;
  states->setSpacing(14);
  states->addWidget(new NeonButton(QStringLiteral("At rest"), Palette::neonRed));
  auto* pressed = new NeonButton(QStringLiteral("Pressed"), Palette::neonRed);
  pressed->setDown(true);
  states->addWidget(pressed);
  auto* disabled = new NeonButton(QStringLiteral("Disabled"), Palette::neonRed);
  disabled->setEnabled(false);
  states->addWidget(disabled);
  auto* start = new NeonButton(strings.save, Palette::neonGreen);
  start->setTrailingSymbol(QStringLiteral("arrow.right"), 12);
  start->setSpacing(8);
  states->addWidget(start);
  auto* retry = new NeonButton(strings.retry, Palette::neonOrange);
  retry->setLeadingSymbol(QStringLiteral("arrow.clockwise"), 11);
  retry->setLabelFont(rajdhaniSemiBold(12));
  states->addWidget(retry);
  states->addStretch();
  column->addLayout(colours);
  column->addLayout(states);
  return column;
}

QLayout* fieldsSection(const AppStrings& strings) {
  auto* row = new QHBoxLayout;
  row->setSpacing(16);
  auto* empty = new CyberTextField(Palette::neonCyan);
  empty->setPlaceholderText(strings.emailPlaceholder);
  auto* filled = new CyberTextField(Palette::neonGreen);
  filled->setText(strings.hotkeyVoiceInput);
  auto* disabled = new CyberTextField(Palette::neonPurple);
  disabled->setText(QStringLiteral("Disabled field"));
  disabled->setEnabled(false);
  row->addWidget(empty);
  row->addWidget(filled);
  row->addWidget(disabled);
  return row;
}

QLayout* cardsSection(const AppStrings& strings) {
  auto* row = new QHBoxLayout;
  row->setSpacing(24);
  for (const auto& [color, glow] : {std::pair{Palette::neonCyan, 6.0}, std::pair{Palette::neonPurple, 10.0},
                                    std::pair{Palette::cyberBorder, 1.0}}) {
    auto* card = new NeonCard(color, glow);
    auto* content = new QVBoxLayout(card);
    content->setContentsMargins(20, 16, 20, 16);
    content->setSpacing(8);
    content->addWidget(new NeonTitleLabel(strings.accountTitle, {color}, 16));
    content->addWidget(new GlowLabel(strings.sectionHotkeys + QStringLiteral(" · heavy 14"), color, 14, QFont::ExtraBold));
    content->addWidget(
        new GlowLabel(strings.labelTranscript + QStringLiteral(" · semibold 13"), Palette::cyberTextSecondary, 13, QFont::DemiBold));
    content->addWidget(
        new GlowLabel(strings.labelResult + QStringLiteral(" · medium 12"), Palette::cyberTextTertiary, 12, QFont::Medium));
    card->setMinimumWidth(260);
    new Brackets(color, 10, card);
    row->addWidget(card);
  }
  row->addStretch();
  return row;
}

QLayout* symbolsSection() {
  auto* grid = new QGridLayout;
  grid->setSpacing(4);
  int index = 0;
  for (const QString& name : SymbolImage::names()) {
    grid->addWidget(new SymbolTile(name), index / 10, index % 10);
    ++index;
  }
  return grid;
}

}  // namespace

GalleryPage::GalleryPage(const AppStrings& strings, QWidget* parent) : QWidget(parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(36, 24, 36, 36);
  column->setSpacing(28);
  column->addWidget(new NeonTitleLabel(QStringLiteral("⟐ VELTRINE THEME"), {Palette::neonCyan, Palette::neonGreen}, 22));
  column->addWidget(section(QStringLiteral("PALETTE"), paletteSection()));
  column->addWidget(section(QStringLiteral("FONTS"), fontsSection(strings)));
  column->addWidget(section(QStringLiteral("PAGE HEADER"), scaffoldSection(strings)));
  column->addWidget(section(QStringLiteral("NEON BUTTONS"), buttonsSection(strings)));
  column->addWidget(section(QStringLiteral("TEXT FIELDS"), fieldsSection(strings)));
  column->addWidget(section(QStringLiteral("CARDS, BRACKETS, GLOW TEXT"), cardsSection(strings)));
  column->addWidget(section(QStringLiteral("SYMBOLS"), symbolsSection()));
  column->addStretch();
}

void GalleryPage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  CyberBgGradient{}.paint(painter, rect());
  ScanlineTexture{0.02}.paint(painter, rect());
}
