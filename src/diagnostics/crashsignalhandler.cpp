#include "diagnostics/crashsignalhandler.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGILL, SIGFPE, SIGTRAP};

// Filled by install() before any handler exists; afterwards only read.
char markerFolder[PATH_MAX] = {};

std::atomic<bool> alreadyReported{false};
static_assert(std::atomic<bool>::is_always_lock_free, "read from a signal handler");

// A stack overflow leaves no stack to run the handler on: give the main
// thread, where everything runs, a spare one.
alignas(16) char alternateStack[64 * 1024];

// Hand-written, because formatting functions may allocate or lock.
class FixedText {
 public:
  FixedText(char* buffer, size_t capacity) : buffer_(buffer), capacity_(capacity) {}

  void append(const char* text) {
    while (*text) appendChar(*text++);
  }
  void appendDecimal(unsigned long long value) {
    char digits[20];
    int count = 0;
    do {
      digits[count++] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value != 0);
    while (count > 0) appendChar(digits[--count]);
  }
  // False when something did not fit; the text is then not to be used.
  bool finish() {
    if (overflow_ || length_ >= capacity_) return false;
    buffer_[length_] = '\0';
    return true;
  }
  size_t length() const { return length_; }

 private:
  void appendChar(char c) {
    if (length_ + 1 >= capacity_) {
      overflow_ = true;
      return;
    }
    buffer_[length_++] = c;
  }

  char* buffer_;
  size_t capacity_;
  size_t length_ = 0;
  bool overflow_ = false;
};

// The marker's name of a signal, "UNKNOWN" for any other.
const char* signalName(int signalNumber) {
  switch (signalNumber) {
    case SIGILL: return "SIGILL";
    case SIGTRAP: return "SIGTRAP";
    case SIGABRT: return "SIGABRT";
    case SIGFPE: return "SIGFPE";
    case SIGBUS: return "SIGBUS";
    case SIGSEGV: return "SIGSEGV";
    default: return "UNKNOWN";
  }
}

}  // namespace

void CrashSignalHandler::install(const QByteArray& folder) {
  if (folder.size() < static_cast<qsizetype>(sizeof markerFolder)) {
    std::memcpy(markerFolder, folder.constData(), static_cast<size_t>(folder.size()));
    markerFolder[folder.size()] = '\0';
  } else {
    markerFolder[0] = '\0';
  }

  stack_t stack{};
  stack.ss_sp = alternateStack;
  stack.ss_size = sizeof alternateStack;
  ::sigaltstack(&stack, nullptr);

  // What signal() installs on Linux, plus the spare stack.
  struct sigaction action {};
  action.sa_handler = &CrashSignalHandler::signalHandler;
  action.sa_flags = SA_RESTART | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (const int signalNumber : kSignals) ::sigaction(signalNumber, &action, nullptr);
}

void CrashSignalHandler::signalHandler(int signalNumber) {
  if (!alreadyReported.load()) writeCrashMarker(signalNumber);
  // The default action ends the process with this very signal, as if no
  // handler had been there (the signal is blocked until the handler returns).
  ::signal(signalNumber, SIG_DFL);
  ::raise(signalNumber);
}

void CrashSignalHandler::writeCrashMarker(int signalNumber) {
  if (markerFolder[0] == '\0') return;
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const auto seconds = static_cast<unsigned long long>(now.tv_sec < 0 ? 0 : now.tv_sec);

  char path[PATH_MAX + 40];
  FixedText pathText(path, sizeof path);
  pathText.append(markerFolder);
  pathText.append("/");
  pathText.appendDecimal(seconds);
  pathText.append(".crashmarker");

  char contents[64];
  FixedText contentsText(contents, sizeof contents);
  contentsText.append("SIGNAL=");
  contentsText.append(signalName(signalNumber));
  contentsText.append("\nTIME=");
  contentsText.appendDecimal(seconds);
  contentsText.append("\n");

  if (!pathText.finish() || !contentsText.finish()) return;
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return;
  // A marker of the same second keeps its rights when truncated.
  ::fchmod(fd, 0600);
  [[maybe_unused]] const ssize_t written = ::write(fd, contents, contentsText.length());
  ::close(fd);
}

void CrashSignalHandler::crashAlreadyReported() { alreadyReported.store(true); }
