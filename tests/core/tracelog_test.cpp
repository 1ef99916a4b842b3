#include "core/tracelog.h"

#include "testenvironment.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

namespace {

QList<QByteArray> traceLines() {
  flushTrace();
  QFile file(traceFilePath());
  QList<QByteArray> lines = file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>{};
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

TEST(TraceLog, EachCallIsOneUtcTimeStampedTaggedLineInThePrivateFolder) {
  EXPECT_EQ(traceFilePath(), TestEnvironment::root() + QStringLiteral("/run/vorlix.voice-input/voice_input_trace.log"));
  const QByteArray zone = qgetenv("TZ");
  qputenv("TZ", "Asia/Tokyo");  // the line is in UTC whatever the machine's zone says
  ::tzset();
  trace(QStringLiteral("before"));
  clearTrace();
  trace(QStringLiteral("Overlay hide"));
  trace(QString());
  std::thread([] { trace(QStringLiteral("选中\nsecond")); }).join();
  const QList<QByteArray> lines = traceLines();
  qputenv("TZ", zone);
  ::tzset();
  ASSERT_EQ(lines.size(), 4);
  const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z \\[(main|bg)\\] "));
  for (qsizetype i = 0; i < 3; ++i) EXPECT_TRUE(stamp.match(QString::fromUtf8(lines[i])).hasMatch()) << lines[i].constData();
  EXPECT_TRUE(lines[0].endsWith(" [main] Overlay hide"));
  EXPECT_TRUE(lines[1].endsWith(" [main] "));  // an empty message still makes a line
  EXPECT_EQ(lines[2].mid(24) + '|' + lines[3], QStringLiteral(" [bg] 选中|second").toUtf8());  // written unchanged
  const QDateTime written = QDateTime::fromString(QString::fromLatin1(lines[0].left(24)), Qt::ISODateWithMs);
  EXPECT_LT(std::abs(written.msecsTo(QDateTime::currentDateTimeUtc())), 3600 * 1000);  // UTC, not Tokyo's clock

  ASSERT_TRUE(QFile::remove(traceFilePath()));  // deleted while running: made again
  trace(QStringLiteral("new"));
  EXPECT_EQ(traceLines().size(), 1);
}

TEST(TraceLog, ClearRacingAppendsKeepsOrderAndWholeLines) {
  clearTrace();
  std::atomic<bool> go{false};
  std::vector<std::thread> writers;
  for (int w = 0; w < 4; ++w) {
    writers.emplace_back([w, &go] {
      while (!go.load()) {
      }
      for (int i = 0; i < 200; ++i) trace(QStringLiteral("w%1 n%2").arg(w).arg(i));
    });
  }
  go = true;
  for (int i = 0; i < 20; ++i) clearTrace();
  for (auto& writer : writers) writer.join();
  trace(QStringLiteral("last"));

  const QList<QByteArray> lines = traceLines();
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_TRUE(lines.last().endsWith("] last"));
  int lastSeen[4] = {-1, -1, -1, -1};
  const QRegularExpression pattern(QStringLiteral("^\\S+ \\[bg\\] w(\\d) n(\\d+)$"));
  for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
    const auto match = pattern.match(QString::fromUtf8(lines[i]));
    ASSERT_TRUE(match.hasMatch()) << lines[i].constData();
    EXPECT_GT(match.captured(2).toInt(), std::exchange(lastSeen[match.captured(1).toInt()], match.captured(2).toInt()));
  }
}

}  // namespace
