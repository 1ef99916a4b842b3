#include "mainwindow/invitecoderow.h"

#include "core/charactercount.h"
#include "core/clock.h"
#include "localization/appstrings.h"
#include "mainwindow/badgelabel.h"
#include "mainwindow/leadingcharacters.h"
#include "mainwindow/symbolbutton.h"
#include "mainwindow/textlabel.h"
#include "platform/pasteboard.h"
#include "theme/fonts.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>

using namespace Palette;

namespace {

QFont codeFont() {
  QFont font = rajdhaniBold(16);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 2);
  return font;
}

}  // namespace

InviteCodeRow::InviteCodeRow(const InviteCodeItem& item, QWidget* parent) : QWidget(parent), item_(item) {
  const QColor tone = item.isUsed ? cyberTextTertiary : neonGreen;
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(12);

  auto* texts = new QVBoxLayout();
  texts->setSpacing(5);
  auto* codeLine = new QHBoxLayout();
  codeLine->setSpacing(8);
  code_ = new TextLabel(codeFont(), item.isUsed ? cyberTextTertiary : neonCyan, this);
  code_->setText(displayCode(item.code));
  if (!item.isUsed) code_->setGlow(Glow{withOpacity(neonCyan, 0.4), 4});
  codeLine->addWidget(code_);
  badge_ = new BadgeLabel({rajdhaniSemiBold(9), tone, withOpacity(tone, 0.1), withOpacity(tone, 0.3), 0.6, 3,
                           QMarginsF(7, 2, 7, 2)},
                          this);
  codeLine->addWidget(badge_);
  codeLine->addStretch();
  texts->addLayout(codeLine);
  // An empty address would leave the line's label pointing at nothing.
  if (item.isUsed && item.usedBy && !item.usedBy->trimmed().isEmpty()) {
    auto* usedBy = new QHBoxLayout();
    usedBy->setSpacing(4);
    usedByLabel_ = new TextLabel(rajdhaniSemiBold(10), cyberTextTertiary, this);
    usedByValue_ = new TextLabel(rajdhaniSemiBold(11), cyberTextSecondary, this);
    usedByValue_->setText(*item.usedBy);
    usedBy->addWidget(usedByLabel_);
    usedBy->addWidget(usedByValue_);
    usedBy->addStretch();
    texts->addLayout(usedBy);
  }
  row->addLayout(texts, 1);

  if (!item.isUsed) {
    copy_ = new SymbolButton(QStringLiteral("doc.on.doc"), 13, withOpacity(neonCyan, 0.7), this);
    copy_->setFrame(QSizeF(28, 28));
    copy_->setBacking({withOpacity(neonCyan, 0.08), withOpacity(neonCyan, 0.2), 0.7, 5});
    connect(copy_, &QAbstractButton::clicked, this, &InviteCodeRow::copyCode);
    row->addWidget(copy_);
  }
  retranslate();
}

QString InviteCodeRow::displayCode(const QString& code) {
  if (characterCount(code) != 8) return code;
  const QString head = leadingCharacters(code, 4);
  return head + QLatin1Char('-') + code.mid(head.size());
}

void InviteCodeRow::copyCode() {
  Pasteboard& pasteboard = Pasteboard::current();
  pasteboard.clearContents();
  pasteboard.setString(item_.code);
  setCopied(true);
  // Only the latest copy's reset clears the mark: an earlier one, firing
  // while a later copy's two seconds run, leaves it.
  const quint64 copyNumber = ++latestCopy_;
  QTimer::singleShot(Clock::scaledMs(2000), this, [this, copyNumber] {
    if (copyNumber == latestCopy_) setCopied(false);
  });
}

void InviteCodeRow::setCopied(bool copied) {
  copied_ = copied;
  if (!copy_) return;
  if (copied) {
    copy_->setSymbol(QStringLiteral("checkmark"), neonGreen);
  } else {
    copy_->setSymbol(QStringLiteral("doc.on.doc"), withOpacity(neonCyan, 0.7));
  }
  retranslate();
}

void InviteCodeRow::retranslate() {
  const AppStrings& strings = currentStrings();
  badge_->setText(item_.isUsed ? strings.myInviteCodeUsed : strings.myInviteCodeUnused);
  if (usedByLabel_) usedByLabel_->setText(strings.myInviteCodeUsedBy);
  if (copy_) {
    const QString copyText = copied_ ? strings.myInviteCodeCopied : strings.btnCopy;
    copy_->setToolTip(copyText);
    copy_->setAccessibleName(copyText);
    copy_->setAccessibleDescription(displayCode(item_.code));
  }
}
