#include "atspitree.h"

#include "awaittask.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>

AtSpiTree AtSpiTree::read() {
  QProcess reader;
  reader.start(QStringLiteral(VELTRINE_ATSPITREE_PATH), {QString::number(QCoreApplication::applicationPid())});
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
    tree.nodes.append({int(indent / 2), fields.value(0), unescaped(fields.value(1)), unescaped(fields.value(2)), line});
  }
  return tree;
}

AtSpiTree AtSpiTree::under(const QString& role, const QString& name) const {
  AtSpiTree subtree;
  for (qsizetype i = 0; i < nodes.size(); ++i) {
    if (nodes[i].role != role || nodes[i].name != name) continue;
    subtree.nodes.append(nodes[i]);
    for (qsizetype j = i + 1; j < nodes.size() && nodes[j].depth > nodes[i].depth; ++j) subtree.nodes.append(nodes[j]);
    break;
  }
  return subtree;
}

bool AtSpiTree::contains(const QString& role, const QString& name) const { return !under(role, name).nodes.isEmpty(); }

std::string AtSpiTree::text() const {
  QString all;
  for (const Node& node : nodes) all += node.line + QLatin1Char('\n');
  return all.toStdString();
}
