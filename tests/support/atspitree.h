#pragma once

#include <QList>
#include <QString>

#include <optional>

#include <string>

// An application's accessible tree as a screen reader reads it over AT-SPI
// (by veltrine-atspitree while this process keeps answering). Needs the test desktop.
struct AtSpiTree {
  struct Node {
    int depth = 0;
    QString role;  // AT-SPI's role name: "push button", "label", "frame", ...
    QString name;
    QString description;
    QString text;       // the whole text of an object that offers one (readApplication)
    QString selection;  // there, its first selection as "<start>-<end>"; empty without one
    QString line;  // as printed
  };

  // This process's tree as it is now; no nodes when it could not be read.
  static AtSpiTree read();
  // The objects on screen in the application run by `pid`, with their texts;
  // nothing below an object that manages countless descendants.
  static AtSpiTree readApplication(qint64 pid);

  // The first node with this role and name and everything under it, if any.
  AtSpiTree under(const QString& role, const QString& name) const;
  // The same for the first node with this role, whatever its name.
  AtSpiTree under(const QString& role) const;
  // The nodes of this role, in tree order.
  QList<Node> withRole(const QString& role) const;
  bool contains(const QString& role, const QString& name) const;
  // The whole tree as printed, for failure messages.
  std::string text() const;

  QList<Node> nodes;
};
