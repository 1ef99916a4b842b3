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

QByteArray traceContents() {
  flushTrace();
  QFile file(traceFilePath());
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

QList<QByteArray> traceLines() {
  QList<QByteArray> lines = traceContents().split('\n');
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

TEST(TraceLog, FileLivesInThePrivateTemporaryFolder) {
  EXPECT_EQ(traceFilePath(), TestEnvironment::root() + QStringLiteral("/run/vorlix.voice-input/voice_input_trace.log"));
}

TEST(TraceLog, LineHasUtcMillisecondTimestampTagAndMessage) {
  // The line is in UTC whatever the machine's zone says.
  qputenv("TZ", "Asia/Tokyo");
  ::tzset();
  clearTrace();
  trace(QStringLiteral("Overlay hide"));
  trace(QString());
  trace(QStringLiteral("snapshot text=\"选中\" editable=nil"));
  const QList<QByteArray> lines = traceLines();
  ASSERT_EQ(lines.size(), 3);
  const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}\\.\\d{3}Z \\[main\\] "));
  for (const QByteArray& line : lines) EXPECT_TRUE(stamp.match(QString::fromUtf8(line)).hasMatch()) << line.constData();
  EXPECT_TRUE(lines[0].endsWith(" [main] Overlay hide"));
  EXPECT_TRUE(lines[1].endsWith(" [main] "));  // an empty message still makes a line
  EXPECT_TRUE(lines[2].endsWith(QStringLiteral(" [main] snapshot text=\"选中\" editable=nil").toUtf8()));

  const QDateTime written = QDateTime::fromString(QString::fromLatin1(lines[0].left(24)), Qt::ISODateWithMs);
  EXPECT_LT(std::abs(written.msecsTo(QDateTime::currentDateTimeUtc())), 5000);
}

TEST(TraceLog, MessageWithLineFeedsIsWrittenUnchanged) {
  clearTrace();
  trace(QStringLiteral("first\nsecond"));
  const QByteArray contents = traceContents();
  EXPECT_TRUE(contents.endsWith(" [main] first\nsecond\n"));
  EXPECT_EQ(contents.count('\n'), 2);
}

TEST(TraceLog, OtherThreadsAreTaggedBg) {
  clearTrace();
  std::thread([] { trace(QStringLiteral("from worker")); }).join();
  trace(QStringLiteral("from main"));
  const QList<QByteArray> lines = traceLines();
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[0].endsWith(" [bg] from worker"));
  EXPECT_TRUE(lines[1].endsWith(" [main] from main"));
}

TEST(TraceLog, ClearRemovesEarlierLinesAndKeepsLaterOnes) {
  trace(QStringLiteral("before"));
  clearTrace();
  trace(QStringLiteral("after"));
  const QList<QByteArray> lines = traceLines();
  ASSERT_EQ(lines.size(), 1);
  EXPECT_TRUE(lines[0].endsWith("] after"));
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
  // Whatever survived the clears is whole lines, in each writer's own order.
  int lastSeen[4] = {-1, -1, -1, -1};
  const QRegularExpression pattern(QStringLiteral("^\\S+ \\[bg\\] w(\\d) n(\\d+)$"));
  for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
    const auto match = pattern.match(QString::fromUtf8(lines[i]));
    ASSERT_TRUE(match.hasMatch()) << lines[i].constData();
    const int writer = match.captured(1).toInt();
    const int number = match.captured(2).toInt();
    EXPECT_GT(number, lastSeen[writer]);
    lastSeen[writer] = number;
  }
}

TEST(TraceLog, FileDeletedWhileRunningIsCreatedAgain) {
  trace(QStringLiteral("old"));
  flushTrace();
  ASSERT_TRUE(QFile::remove(traceFilePath()));
  trace(QStringLiteral("new"));
  const QList<QByteArray> lines = traceLines();
  ASSERT_EQ(lines.size(), 1);
  EXPECT_TRUE(lines[0].endsWith("] new"));
}

}  // namespace
