// Files may not grow past a limit for the scope of the object, as on a full disk. The signal
// that would end the process is ignored meanwhile, so writes fail with an error instead. POSIX
// only.
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace arkivo::test {

class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    void (*previousHandler_)(int);
    rlimit saved_{};
};

}  // namespace arkivo::test
