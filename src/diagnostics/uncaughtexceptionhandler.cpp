#include "diagnostics/uncaughtexceptionhandler.h"

#include "diagnostics/crashreporter.h"

#include <atomic>
#include <cstdlib>
#include <exception>
#include <memory>
#include <typeinfo>

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>

namespace {

std::terminate_handler previousHandler = nullptr;

QString demangled(const char* name) {
  int status = 0;
  const std::unique_ptr<char, decltype(&std::free)> readable(abi::__cxa_demangle(name, nullptr, nullptr, &status),
                                                             &std::free);
  return QString::fromUtf8(status == 0 && readable ? readable.get() : name);
}

// "binary(function+0x1d) [0x55d0]", like backtrace_symbols() but demangled
// and looked up at the call itself: a return address may lie past the end of
// the calling function when the callee does not return (__cxa_throw).
QString describeFrame(void* returnAddress) {
  const auto address = reinterpret_cast<quintptr>(returnAddress);
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(address - 1), &info) == 0 || !info.dli_fname) {
    return QStringLiteral("[0x%1]").arg(address, 0, 16);
  }
  const auto base = reinterpret_cast<quintptr>(info.dli_sname ? info.dli_saddr : info.dli_fbase);
  const QString function = info.dli_sname ? demangled(info.dli_sname) : QString();
  return QStringLiteral("%1(%2+0x%3) [0x%4]")
      .arg(QString::fromUtf8(info.dli_fname), function)
      .arg(address - base, 0, 16)
      .arg(address, 0, 16);
}

// The runtime's entries that raise an exception: the frame below one of them
// is the throw site.
bool isThrow(const QString& frame) {
  return frame.contains(QLatin1String("(__cxa_throw+")) || frame.contains(QLatin1String("(__cxa_rethrow+")) ||
         frame.contains(QLatin1String("(std::rethrow_exception("));
}

// The type and message of the exception being handled, if any.
bool describeCurrentException(QString& name, QString& reason) {
  const std::exception_ptr current = std::current_exception();
  if (!current) return false;
  const std::type_info* type = abi::__cxa_current_exception_type();
  name = type ? demangled(type->name()) : QStringLiteral("unknown exception");
  try {
    std::rethrow_exception(current);
  } catch (const std::exception& exception) {
    reason = QString::fromUtf8(exception.what());
  } catch (...) {
  }
  if (reason.isEmpty()) reason = QStringLiteral("no reason");
  return true;
}

}  // namespace

void UncaughtExceptionHandler::install() {
  const std::terminate_handler previous = std::set_terminate(&UncaughtExceptionHandler::onTerminate);
  if (previous != &UncaughtExceptionHandler::onTerminate) previousHandler = previous;
}

QStringList UncaughtExceptionHandler::callStack(int limit) {
  // Room for the frames of this function and of the throw machinery above
  // the throw site, which are dropped below.
  constexpr int kExtraFrames = 16;
  void* addresses[256];
  const int count = ::backtrace(addresses, std::min<int>(limit + kExtraFrames, std::size(addresses)));

  QStringList frames;
  for (int i = 1; i < count; ++i) {  // 0 is this function
    const QString frame = describeFrame(addresses[i]);
    if (i < kExtraFrames && isThrow(frame)) {
      frames.clear();  // everything so far was the way into the handler
      continue;
    }
    frames << frame;
  }
  return frames.first(std::min<qsizetype>(frames.size(), limit));
}

void UncaughtExceptionHandler::onTerminate() {
  // A second exception on another thread, or one thrown while reporting,
  // must not report again (or loop).
  static std::atomic<bool> entered{false};
  if (!entered.exchange(true)) {
    try {
      QString name;
      QString reason;
      if (describeCurrentException(name, reason)) {
        CrashReporter::handleException(name, reason, callStack(CrashReporter::kMaxCallStackFrames));
      }
    } catch (...) {
      // Reporting is best effort; the process ends either way.
    }
  }
  if (previousHandler) previousHandler();
  std::abort();
}
