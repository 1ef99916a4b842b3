#include "core/tracelog.h"

#include "core/paths.h"

#include <QFile>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <future>
#include <mutex>
#include <string>
#include <thread>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace {

struct TraceJob {
  enum class Kind { Append, Clear, Barrier } kind;
  std::string bytes;
  std::promise<void>* done = nullptr;
};

// The one serial writer. It lives for the whole process (it is never destroyed,
// so no static destructor races the thread at exit).
class TraceWriter {
 public:
  static TraceWriter& shared() {
    static TraceWriter* writer = new TraceWriter();
    return *writer;
  }

  const std::string& path() const { return path_; }

  void enqueue(TraceJob job) {
    {
      std::lock_guard lock(mutex_);
      jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
  }

 private:
  TraceWriter() : path_(tracePath()) {
    std::thread([this] { run(); }).detach();
  }

  static std::string tracePath() {
    const QString folder = Paths::temporaryDirectory();
    if (folder.isEmpty()) return {};
    return QFile::encodeName(folder + QStringLiteral("/voice_input_trace.log")).toStdString();
  }

  void run() {
    pthread_setname_np(pthread_self(), "debug-trace");
    for (;;) {
      TraceJob job;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return !jobs_.empty(); });
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      switch (job.kind) {
        case TraceJob::Kind::Append: append(job.bytes); break;
        case TraceJob::Kind::Clear: clear(); break;
        case TraceJob::Kind::Barrier: job.done->set_value(); break;
      }
    }
  }

  // Opens, appends and closes for every line; every failure loses the line only.
  void append(const std::string& bytes) const {
    if (path_.empty()) return;
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return;
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
      const ssize_t written = ::write(fd, data, left);
      if (written <= 0) break;
      data += written;
      left -= static_cast<size_t>(written);
    }
    ::close(fd);
  }

  // Replaces the file by an empty one in a single rename, so a reader never
  // sees a half-cleared file. A failure leaves the old contents.
  void clear() const {
    if (path_.empty()) return;
    std::string temporary = path_ + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return;
    ::close(fd);
    if (::rename(temporary.c_str(), path_.c_str()) != 0) ::unlink(temporary.c_str());
  }

  const std::string path_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<TraceJob> jobs_;
};

bool onMainThread() { return ::gettid() == ::getpid(); }

// "2026-12-05T17:05:18.123Z": UTC, always three fractional digits.
void appendTimestamp(std::string& out) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  tm utc{};
  ::gmtime_r(&now.tv_sec, &utc);
  char buffer[32];
  const int length = std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                                   utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                                   static_cast<int>(now.tv_nsec / 1000000));
  out.append(buffer, static_cast<size_t>(length));
}

}  // namespace

void trace(const QString& message) {
  const QByteArray utf8 = message.toUtf8();
  std::string line;
  line.reserve(static_cast<size_t>(utf8.size()) + 40);
  appendTimestamp(line);
  line += onMainThread() ? " [main] " : " [bg] ";
  line.append(utf8.constData(), static_cast<size_t>(utf8.size()));
  line += '\n';
  TraceWriter::shared().enqueue({TraceJob::Kind::Append, std::move(line)});
}

void clearTrace() { TraceWriter::shared().enqueue({TraceJob::Kind::Clear, {}}); }

QString traceFilePath() { return QFile::decodeName(QByteArray::fromStdString(TraceWriter::shared().path())); }

void flushTrace() {
  std::promise<void> done;
  auto finished = done.get_future();
  TraceWriter::shared().enqueue({TraceJob::Kind::Barrier, {}, &done});
  finished.wait();
}
