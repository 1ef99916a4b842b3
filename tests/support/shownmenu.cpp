#include "shownmenu.h"

#include "awaittask.h"

#include <QAccessible>
#include <QProcess>

namespace {

QRect rect(const QString& text) {
  const QStringList numbers = text.split(u',');
  return numbers.size() == 4 ? QRect(numbers[0].toInt(), numbers[1].toInt(), numbers[2].toInt(), numbers[3].toInt())
                             : QRect();
}

}  // namespace

ShownMenu ShownMenu::openedBy(const std::function<void()>& open) {
  // This process joins the desktop's accessibility on first use (a window
  // shown, or this question), too late for the events of a menu it shows
  // right then.
  QAccessible::isActive();
  QProcess reader;
  reader.start(QStringLiteral(VELTRINE_ATSPIMENU_PATH), {QStringLiteral("8")});
  ShownMenu menu;
  // The event loop runs meanwhile: a menu of this process answers the reader.
  if (!waitUntil([&] { return reader.canReadLine() || reader.state() == QProcess::NotRunning; })) return menu;
  if (reader.readLine().trimmed() != "ready") return menu;
  // Applications send the events of a new listener once they have heard of
  // it, this one too: give them a moment.
  waitUntil([] { return false; }, std::chrono::milliseconds(300));
  open();
  waitUntil([&] { return reader.state() == QProcess::NotRunning; }, std::chrono::seconds(12));
  for (const QString& line : QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n')) {
    const QStringList fields = line.split(u'\t');
    if (fields.value(0) == QLatin1String("menu")) menu.place = rect(fields.value(1));
    if (fields.value(0) == QLatin1String("item")) menu.items << Item{fields.value(1), rect(fields.value(2))};
  }
  return menu;
}

QStringList ShownMenu::titles() const {
  QStringList titles;
  for (const Item& item : items) titles << item.title;
  return titles;
}

bool ShownMenu::whole() const {
  for (const Item& item : items) {
    if (!place.contains(item.place)) return false;
  }
  return !items.isEmpty();
}
