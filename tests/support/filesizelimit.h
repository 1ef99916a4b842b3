#pragma once

#include <csignal>

#include <sys/resource.h>

// While it lives, no file of this process may grow past `bytes`: a write
// stops part-way, as on a full disk (the signal such a write raises is
// ignored, so the write just comes back short).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(long long bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    if (::getrlimit(RLIMIT_FSIZE, &previous_) != 0) return;
    rlimit limited = previous_;
    limited.rlim_cur = static_cast<rlim_t>(bytes);
    active_ = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
  }
  ~FileSizeLimit() {
    if (active_) ::setrlimit(RLIMIT_FSIZE, &previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  bool active() const { return active_; }

 private:
  rlimit previous_{};
  bool active_ = false;
};
