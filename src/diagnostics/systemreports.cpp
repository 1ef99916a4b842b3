#include "diagnostics/systemreports.h"

#include "core/userdefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <unistd.h>

namespace SystemReports {
namespace {

// systemd-coredump names a core for the process name the kernel keeps (the
// executable's name cut to 15 bytes), not for the executable's path.
QString processName() {
  QFile comm(QStringLiteral("/proc/self/comm"));
  if (!comm.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(comm.readAll().trimmed());
}

bool isNumber(const QString& text, qsizetype length = -1) {
  if (text.isEmpty() || (length >= 0 && text.size() != length)) return false;
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

bool isHex(const QString& text, qsizetype length) {
  return text.size() == length &&
         std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit() || (c >= u'a' && c <= u'f'); });
}

// The moment in the name of one of this program's cores of this user:
// "<prefix><boot id>.<pid>.<microseconds>" and perhaps ".<compression>".
std::optional<QDateTime> coreTime(const QString& name, const QString& prefix) {
  if (!name.startsWith(prefix)) return std::nullopt;
  const QStringList parts = name.mid(prefix.size()).split(QLatin1Char('.'));
  if (parts.size() < 3 || parts.size() > 4 || !isHex(parts[0], 32) || !isNumber(parts[1]) || !isNumber(parts[2])) {
    return std::nullopt;
  }
  bool fits = false;
  const qint64 microseconds = parts[2].toLongLong(&fits);
  if (!fits) return std::nullopt;
  return QDateTime::fromMSecsSinceEpoch(microseconds / 1000, Qt::UTC);
}

}  // namespace

QString directory() {
  const QString configured =
      UserDefaults::shared().text(QStringLiteral("diagnostic_reports_directory")).value_or(QString());
  return configured.isEmpty() ? QString::fromLatin1(kCoredumpFolder) : configured;
}

std::optional<QString> find(const QString& folder, const QDateTime& crashTime) {
  if (folder.isEmpty() || !crashTime.isValid()) return std::nullopt;
  // Around the crash's own time, not the search's: a crash found at a later
  // launch still gets its own report, and never the report of another crash.
  constexpr qint64 kWindowMs = 60'000;
  const QString name = processName();
  const QString corePrefix =
      name.isEmpty() ? QString() : QStringLiteral("core.%1.%2.").arg(name).arg(::getuid());
  std::optional<QString> closest;
  qint64 closestDistance = kWindowMs + 1;
  const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files, QDir::NoSort);
  for (const QFileInfo& entry : entries) {
    std::optional<QDateTime> written;
    if (!corePrefix.isEmpty()) written = coreTime(entry.fileName(), corePrefix);
    if (!written && entry.fileName().startsWith(QLatin1String("voice-input")) &&
        entry.suffix() == QLatin1String("ips")) {
      written = entry.lastModified();
    }
    if (!written || !written->isValid()) continue;
    const qint64 distance = std::abs(written->msecsTo(crashTime));
    if (distance < closestDistance) {
      closest = entry.absoluteFilePath();
      closestDistance = distance;
    }
  }
  return closest;
}

}  // namespace SystemReports
