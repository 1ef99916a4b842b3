#pragma once

#include <QList>
#include <QString>

#include <string>

// This process's accessible tree as a screen reader reads it over AT-SPI (by
// veltrine-atspitree while this process keeps answering). Needs the test desktop.
struct AtSpiTree {
  struct Node {
    int depth = 0;
    QString role;  // AT-SPI's role name: "push button", "label", "frame", ...
    QString name;
    QString description;
    QString line;  // as printed
  };

  // The tree as it is now; no nodes when it could not be read.
  static AtSpiTree read();

  // The first node with this role and name and everything under it, if any.
  AtSpiTree under(const QString& role, const QString& name) const;
  bool contains(const QString& role, const QString& name) const;
  // The whole tree as printed, for failure messages.
  std::string text() const;

  QList<Node> nodes;
};
