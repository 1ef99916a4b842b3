#include "atspitree.h"

#include "awaittask.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>

namespace {

AtSpiTree readTree(const QStringList& arguments) {
  QProcess reader;
  reader.start(QStringLiteral(VELTRINE_ATSPITREE_PATH), arguments);
  // The event loop runs meanwhile: the reader's questions are answered by it.
  const bool ended = waitUntil([&] { return reader.state() == QProcess::NotRunning; }, std::chrono::seconds(30));
  AtSpiTree tree;
  if (!ended) {
    reader.kill();
    reader.waitForFinished();
  }
  if (!ended || reader.exitStatus() != QProcess::NormalExit || reader.exitCode() != 0) return tree;
  for (const QString& line : QString::fromUtf8(reader.readAllStandardOutput()).split(QLatin1Char('\n'))) {
    if (line.isEmpty()) continue;
    const qsizetype indent = line.indexOf(QRegularExpression(QStringLiteral("[^ ]")));
    const QStringList fields = line.mid(indent).split(QLatin1Char('\t'));
    const auto unescaped = [](QString text) { return text.replace(QStringLiteral("\\n"), QStringLiteral("\n")); };
    tree.nodes.append({int(indent / 2), fields.value(0), unescaped(fields.value(1)), unescaped(fields.value(2)),
                       unescaped(fields.value(3)), fields.value(4), line});
  }
  return tree;
}

}  // namespace

AtSpiTree AtSpiTree::read() { return readTree({QString::number(QCoreApplication::applicationPid())}); }

AtSpiTree AtSpiTree::readApplication(qint64 pid) {
  return readTree({QString::number(pid), QStringLiteral("--showing"), QStringLiteral("--text"),
                   QStringLiteral("--outside-managed")});
}

namespace {

AtSpiTree subtreeOf(const AtSpiTree& tree, const QString& role, const std::optional<QString>& name) {
  const QList<AtSpiTree::Node>& nodes = tree.nodes;
  AtSpiTree subtree;
  for (qsizetype i = 0; i < nodes.size(); ++i) {
    if (nodes[i].role != role || (name && nodes[i].name != *name)) continue;
    subtree.nodes.append(nodes[i]);
    for (qsizetype j = i + 1; j < nodes.size() && nodes[j].depth > nodes[i].depth; ++j) subtree.nodes.append(nodes[j]);
    break;
  }
  return subtree;
}

}  // namespace

AtSpiTree AtSpiTree::under(const QString& role, const QString& name) const { return subtreeOf(*this, role, name); }

AtSpiTree AtSpiTree::under(const QString& role) const { return subtreeOf(*this, role, std::nullopt); }

QList<AtSpiTree::Node> AtSpiTree::withRole(const QString& role) const {
  QList<Node> found;
  for (const Node& node : nodes) {
    if (node.role == role) found.append(node);
  }
  return found;
}

bool AtSpiTree::contains(const QString& role, const QString& name) const { return !under(role, name).nodes.isEmpty(); }

std::string AtSpiTree::text() const {
  QString all;
  for (const Node& node : nodes) all += node.line + QLatin1Char('\n');
  return all.toStdString();
}
