#include "testkeywatcher.h"

#include "awaittask.h"

#include <QStringList>

#include <algorithm>

TestKeyWatcher::~TestKeyWatcher() {
  process_.closeWriteChannel();
  if (!process_.waitForFinished(5000)) process_.kill();
  process_.waitForFinished(5000);
}

bool TestKeyWatcher::start() {
  process_.start(QStringLiteral(VELTRINE_TESTKEYWATCHER_PATH), {});
  while (!process_.canReadLine()) {
    if (!process_.waitForReadyRead(5000)) return false;
  }
  return process_.readLine().trimmed() == "ready";
}

void TestKeyWatcher::readOutput() {
  while (process_.canReadLine()) {
    // key press|release <keycode> <sent> <delay ms> <arrival ms>
    const QStringList fields = QString::fromUtf8(process_.readLine().trimmed()).split(QLatin1Char(' '));
    if (fields.size() != 6 || fields[0] != u"key") continue;
    keys_.append(Key{fields[1] == u"press", fields[2].toInt(), fields[3] == u"1", fields[4].toLongLong(),
                     std::chrono::milliseconds(fields[5].toLongLong())});
  }
}

QList<TestKeyWatcher::Key> TestKeyWatcher::keys() {
  readOutput();
  return keys_;
}

bool TestKeyWatcher::waitForKey(const std::function<bool(const Key&)>& wanted, std::chrono::milliseconds timeout) {
  return waitUntil(
      [&] {
        const QList<Key> arrived = keys();
        return std::any_of(arrived.begin(), arrived.end(), wanted);
      },
      timeout);
}
