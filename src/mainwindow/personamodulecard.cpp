#include "mainwindow/personamodulecard.h"

#include "core/charactercount.h"
#include "localization/appstrings.h"
#include "mainwindow/badgelabel.h"
#include "mainwindow/neontoggle.h"
#include "mainwindow/symbolview.h"
#include "mainwindow/textlabel.h"
#include "theme/cyberdividerline.h"
#include "theme/cybertextfieldstyle.h"
#include "theme/fonts.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"
#include "theme/thinscrollbar.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace Palette;

namespace {

// The well the prompt is typed in: black at a quarter, its lower corners
// rounded like the card's.
class PromptWell : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = NeonCardStyle::cornerRadius;
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0, -radius, 0, 0), radius, radius);
    painter.setClipRect(rect());
    painter.fillPath(shape, withOpacity(black, 0.25));
  }
};

}  // namespace

// The prompt editor draws its placeholder itself: inside the same margins as
// the text on every side (the plain editor lets it run to the right edge), so
// that the card can make room for all of its lines.
class PersonaModuleCard::PromptEditor : public QPlainTextEdit {
 public:
  explicit PromptEditor(QWidget* parent) : QPlainTextEdit(parent) {}

  void setHintColor(const QColor& color) {
    hintColor_ = color;
    QPalette colours = palette();
    colours.setColor(QPalette::PlaceholderText, Palette::clear);
    setPalette(colours);
  }

  // The placeholder's area at the viewport's current width.
  QRect hintRect() const {
    const int margin = int(document()->documentMargin());
    return viewport()->rect().adjusted(margin, margin, -margin, -margin);
  }

  // How tall the placeholder's wrapped lines are at the viewport's width.
  int hintHeight() const {
    const QRect room(0, 0, std::max(1, hintRect().width()), QWIDGETSIZE_MAX);
    return fontMetrics().boundingRect(room, Qt::AlignLeft | Qt::TextWordWrap, placeholderText()).height();
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPlainTextEdit::paintEvent(event);
    if (!document()->isEmpty() || placeholderText().isEmpty()) return;
    QPainter painter(viewport());
    painter.setPen(hintColor_);
    painter.drawText(hintRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, placeholderText());
  }

 private:
  QColor hintColor_;
};

PersonaModuleCard::PersonaModuleCard(const QString& icon, const QColor& accent, QWidget* parent)
    : NeonCard(cyberBorder, 1, parent), accent_(accent) {
  // Switching the module on or off eases its glow in or out.
  setNeonTransition(150);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* header = new QHBoxLayout();
  header->setContentsMargins(16, 14, 16, 14);
  header->setSpacing(12);
  icon_ = new SymbolView(icon, 16, accent, this);
  icon_->setFrame(QSize(24, icon_->sizeHint().height()));
  header->addWidget(icon_, 0, Qt::AlignTop);
  auto* heading = new QVBoxLayout();
  heading->setSpacing(4);
  auto* titleLine = new QHBoxLayout();
  titleLine->setSpacing(8);
  title_ = new TextLabel(orbitronFont(15, QFont::Bold), cyberTextPrimary, this);
  titleLine->addWidget(title_);
  badge_ = new BadgeLabel({rajdhaniSemiBold(10), cyberTextTertiary, clear, QColor(), 0, 4, QMarginsF(6, 2, 6, 2)}, this);
  titleLine->addWidget(badge_);
  titleLine->addStretch();
  heading->addLayout(titleLine);
  description_ = new TextLabel(rajdhaniSemiBold(12), cyberTextTertiary, this);
  description_->setWordWrap(true);
  heading->addWidget(description_);
  header->addLayout(heading, 1);
  toggle_ = new NeonToggle(accent, this);
  header->addWidget(toggle_, 0, Qt::AlignTop);
  column->addLayout(header);

  divider_ = new CyberDividerLine(accent, this);
  column->addWidget(divider_);

  auto* well = new PromptWell(this);
  auto* wellColumn = new QVBoxLayout(well);
  wellColumn->setContentsMargins(0, 0, 0, 0);
  wellColumn->setSpacing(6);
  editor_ = new PromptEditor(well);
  editor_->setFont(rajdhaniMedium(14));
  editor_->setFrameShape(QFrame::NoFrame);
  editor_->setTabChangesFocus(true);
  editor_->viewport()->setAutoFillBackground(false);
  editor_->setContentsMargins(0, 0, 0, 0);
  editor_->document()->setDocumentMargin(12);
  QPalette colours = editor_->palette();
  colours.setColor(QPalette::Base, clear);
  colours.setColor(QPalette::Text, cyberTextPrimary);
  colours.setColor(QPalette::Highlight, withOpacity(accent, 0.35));
  colours.setColor(QPalette::HighlightedText, cyberTextPrimary);
  editor_->setPalette(colours);
  editor_->setHintColor(withOpacity(cyberTextTertiary, 0.4));
  // A long prompt scrolls inside the editor: its bar is the theme's, not the
  // platform's light one on the dark card.
  ThinScrollBar().apply(*editor_->verticalScrollBar());
  wellColumn->addWidget(editor_);

  auto* footer = new QHBoxLayout();
  footer->setContentsMargins(12, 0, 12, 10);
  clear_ = new NeonButton(QString(), cyberTextSecondary, well);
  clear_->setLeadingSymbol(QStringLiteral("arrow.counterclockwise"), 11);
  clear_->setLabelFont(rajdhaniSemiBold(11));
  clear_->setSpacing(5);
  footer->addWidget(clear_);
  footer->addStretch();
  counter_ = new TextLabel(rajdhaniSemiBold(11), cyberTextTertiary, well);
  footer->addWidget(counter_);
  wellColumn->addLayout(footer);
  column->addWidget(well);

  connect(editor_, &QPlainTextEdit::textChanged, this, &PersonaModuleCard::typed);
  connect(toggle_, &QAbstractButton::toggled, this, [this](bool on) {
    if (showingDraft_ || on == draft_.enabled) return;
    draft_.enabled = on;
    render();
    Q_EMIT draftChanged();
  });
  connect(clear_, &QAbstractButton::clicked, this, [this] {
    draft_.clear();
    render();
    Q_EMIT draftChanged();
  });
  render();
}

QPlainTextEdit* PersonaModuleCard::editor() const { return editor_; }

void PersonaModuleCard::setTexts(const QString& title, const QString& description, const QString& placeholder) {
  title_->setText(title);
  toggle_->setAccessibleName(title);
  description_->setText(description);
  editor_->setPlaceholderText(placeholder);
  clear_->setText(currentStrings().personaClearToBuiltin);
  render();
}

void PersonaModuleCard::setDraft(const ModuleDraft& draft) {
  draft_ = draft;
  render();
}

void PersonaModuleCard::typed() {
  if (showingDraft_) return;
  // Whatever arrived (typed or pasted) is cut to the limit, and a blank
  // prompt switches the module off.
  draft_.edit(editor_->toPlainText());
  render();
  Q_EMIT draftChanged();
}

void PersonaModuleCard::render() {
  const AppStrings& strings = currentStrings();
  const ModuleDraft::State state = draft_.state();
  const bool filled = state != ModuleDraft::State::builtIn;

  showingDraft_ = true;
  if (editor_->toPlainText() != draft_.prompt) {
    // Put the caret back where it was, or at the end of a cut text.
    const int position = std::min<int>(editor_->textCursor().position(), int(draft_.prompt.size()));
    editor_->setPlainText(draft_.prompt);
    QTextCursor cursor = editor_->textCursor();
    cursor.setPosition(position);
    editor_->setTextCursor(cursor);
  }
  toggle_->setChecked(draft_.enabled);
  showingDraft_ = false;

  toggle_->setVisible(filled);
  toggle_->setToolTip(draft_.enabled ? strings.personaDisableHint : strings.personaEnableHint);

  // How each state looks: the badge, the card's outline and glow, the icon's glow.
  struct StateLook {
    QString badge;
    QColor badgeText;
    QColor badgeFill;
    QColor neon;
    qreal glowRadius;
    qreal iconGlow;
  };
  const StateLook shown = [&]() -> StateLook {
    switch (state) {
      case ModuleDraft::State::active:
        return {strings.personaActive, accent_, withOpacity(accent_, 0.2), withOpacity(accent_, 0.45), 5, 0.8};
      case ModuleDraft::State::custom:
        return {strings.personaCustomized, cyberTextTertiary, withOpacity(cyberTextTertiary, 0.08),
                withOpacity(accent_, 0.2), 2, 0.3};
      case ModuleDraft::State::builtIn:
        break;
    }
    return {strings.personaUsingBuiltin, withOpacity(cyberTextTertiary, 0.6), withOpacity(cyberTextTertiary, 0.06),
            cyberBorder, 1, 0.3};
  }();
  BadgeLabel::Look look = badge_->look();
  look.textColor = shown.badgeText;
  look.fill = shown.badgeFill;
  badge_->setText(shown.badge);
  setNeon(shown.neon, shown.glowRadius);
  icon_->setGlow(Glow{withOpacity(accent_, shown.iconGlow), 4});
  badge_->setLook(look);
  divider_->setColor(withOpacity(accent_, filled ? 0.3 : 0.12));

  const qsizetype count = characterCount(draft_.prompt);
  counter_->setText(strings.charCount(count, ModuleDraft::maxLength));
  counter_->setColor(count > ModuleDraft::warningLength ? neonYellow : cyberTextTertiary);
  fitEditor();
}

void PersonaModuleCard::fitEditor() {
  // As tall as the prompt, or while it is empty as its placeholder, between
  // the editor's two bounds; longer prompts scroll.
  const qreal margins = 2 * editor_->document()->documentMargin();
  int contentHeight = 0;
  if (draft_.prompt.isEmpty()) {
    contentHeight = editor_->hintHeight() + int(std::ceil(margins));
  } else {
    const qreal lines = editor_->document()->size().height();
    const qreal lineHeight = editor_->fontMetrics().lineSpacing();
    contentHeight = int(std::ceil(lines * lineHeight + margins));
  }
  editor_->setFixedHeight(std::clamp(contentHeight, editorMinimumHeight, editorMaximumHeight));
}

void PersonaModuleCard::resizeEvent(QResizeEvent* event) {
  NeonCard::resizeEvent(event);
  fitEditor();
}
