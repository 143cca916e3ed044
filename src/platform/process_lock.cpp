#include "platform/process_lock.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/files.h"

namespace velnora::platform {

ProcessLock::~ProcessLock() { Release(); }

ProcessLock::Result ProcessLock::Acquire(const std::string& folder) {
  Release();
  const std::string path = JoinPath(folder, kProcessLockFileName);
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return Result::Failed;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    return error == EWOULDBLOCK ? Result::HeldElsewhere : Result::Failed;
  }
  // The pid is only information for the message of a refused start.
  char text[32];
  const int length = std::snprintf(text, sizeof text, "%ld\n", static_cast<long>(::getpid()));
  if (::ftruncate(fd, 0) == 0 && length > 0) {
    [[maybe_unused]] const ssize_t written = ::pwrite(fd, text, std::size_t(length), 0);
  }
  fd_ = fd;
  return Result::Acquired;
}

void ProcessLock::Release() {
  if (fd_ < 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}

long ProcessLock::HolderPid(const std::string& folder) {
  FilePtr file = OpenFile(JoinPath(folder, kProcessLockFileName), "rb");
  if (!file) return 0;
  char text[32] = {};
  const std::size_t n = std::fread(text, 1, sizeof text - 1, file.get());
  text[n] = '\0';
  char* end = nullptr;
  const long pid = std::strtol(text, &end, 10);
  return end != text && pid > 0 ? pid : 0;
}

}  // namespace velnora::platform
