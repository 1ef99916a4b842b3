#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>

// A menu as a screen reader meets it when it shows, whichever program shows
// it (a tray's own menu is in no application's tree): read by
// veltrine-atspimenu from the events its items send. Needs the test desktop.
struct ShownMenu {
  struct Item {
    QString title;
    QRect place;
  };

  // The menu that `open` makes show, once laid out; empty when none showed
  // within a few seconds.
  static ShownMenu openedBy(const std::function<void()>& open);

  QStringList titles() const;
  // Every item lies in the menu: none cut off, none scrolled out of sight.
  bool whole() const;

  QRect place;
  QList<Item> items;
};
