#pragma once

#include <QList>
#include <QString>

#include <string>

// This process's accessible tree as a screen reader reads it over AT-SPI,
// read by veltrine-atspitree, a process of its own, while this one keeps
// answering. Needs the test desktop (its accessibility bus).
struct AtSpiTree {
  struct Node {
    int depth = 0;
    QString role;  // AT-SPI's role name: "push button", "label", "frame", ...
    QString name;
    QString description;
  };

  // The tree as it is now; no nodes when it could not be read.
  static AtSpiTree read();

  // The first node with this role and name and everything under it; no nodes
  // when there is none.
  AtSpiTree under(const QString& role, const QString& name) const;
  bool contains(const QString& role, const QString& name) const;
  // The whole tree as printed, for failure messages.
  std::string text() const;

  QList<Node> nodes;
};
