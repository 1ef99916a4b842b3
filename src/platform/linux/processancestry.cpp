#include "platform/linux/processancestry.h"

#include <QCoreApplication>
#include <QFile>

namespace ProcessAncestry {

namespace {
// Deeper than any real chain of programs; ends a walk that a racing pid reuse could make circular.
constexpr int kMaxDepth = 64;
}  // namespace

QByteArray nameOf(qint64 pid) {
  QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
  return comm.open(QIODevice::ReadOnly) ? comm.readAll().trimmed() : QByteArray();
}

std::optional<qint64> parentOf(qint64 pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return std::nullopt;
  // "pid (name) state ppid ...": the name may hold spaces and parentheses, so
  // the fields are counted from the last ')'.
  const QByteArray line = stat.readAll();
  const qsizetype nameEnd = line.lastIndexOf(')');
  if (nameEnd < 0) return std::nullopt;
  const QList<QByteArray> fields = line.mid(nameEnd + 1).simplified().split(' ');
  if (fields.size() < 2) return std::nullopt;
  bool ok = false;
  const qint64 parent = fields.at(1).toLongLong(&ok);
  return ok ? std::optional(parent) : std::nullopt;
}

QList<qint64> lineOf(qint64 pid) {
  const qint64 self = QCoreApplication::applicationPid();
  QList<qint64> line;
  for (int depth = 0; depth < kMaxDepth && pid > 1 && pid != self && !line.contains(pid); ++depth) {
    line.append(pid);
    const std::optional<qint64> parent = parentOf(pid);
    if (!parent) break;
    pid = *parent;
  }
  return line;
}

}  // namespace ProcessAncestry
