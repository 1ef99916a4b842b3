#include "app/statusitem.h"

#include "theme/palette.h"
#include "theme/symbolimage.h"

StatusItem::StatusItem(QObject* parent) : QObject(parent), icon_(StatusIcon::create()) {
  // The idle image in the tray's own colour; while recording the filled
  // symbol in the recording colour.
  const QByteArray idle = SymbolImage::drawing(QStringLiteral("waveform.circle"));
  const QByteArray recording = SymbolImage::drawing(QStringLiteral("waveform.circle.fill"));
  icon_->setImages({idle, StatusIcon::filled(recording, Palette::neonRed)});
  connect(icon_.get(), &StatusIcon::menuAboutToShow, this, &StatusItem::refreshMenu);
  connect(icon_.get(), &StatusIcon::entryChosen, this, [this](int index) {
    if (index < 0 || index >= entries_.size()) return;
    // The action may build the menu again, which replaces the entries.
    const std::function<void()> action = entries_[index].action;
    if (action) action();
  });
}

StatusItem::~StatusItem() = default;

void StatusItem::setMenuBuilder(MenuBuilder builder) {
  builder_ = std::move(builder);
  refreshMenu();
}

void StatusItem::show() { icon_->show(); }

void StatusItem::updateStatusIcon(bool recording) {
  recording_ = recording;
  icon_->setRecording(recording);
  Q_EMIT iconChanged();
}

void StatusItem::refreshMenu() {
  entries_ = builder_ ? builder_() : QList<Entry>();
  StatusIcon::Menu menu;
  for (const Entry& entry : entries_) menu << entry.shown;
  icon_->setMenu(menu);
}

void StatusItem::popUpMenu() { icon_->popUpMenu(); }
