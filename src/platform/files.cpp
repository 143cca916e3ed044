#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace velnora::platform {
namespace {

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home && *home ? home : "/tmp";
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value == '/' ? std::string(value) : fallback;
}

bool MakeFolders(const std::string& path) {
  if (path.empty()) return false;
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  auto slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash))) return false;
  return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  while (!name.empty() && name.front() == '/') name.remove_prefix(1);
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

std::string CurrentFolder() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

bool ReadWholeFile(const std::string& path, std::string& text, std::size_t limit) {
  text.clear();
  FilePtr file = OpenFile(path, "rb");
  if (!file) return false;
  char chunk[65536];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    if (text.size() + n > limit) return false;
    text.append(chunk, n);
  }
  return !std::ferror(file.get());
}

bool EnsurePrivateFolder(const std::string& path) {
  if (!MakeFolders(path)) return false;
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  if (st.st_uid != geteuid()) return false;
  if ((st.st_mode & 0077) != 0 && chmod(path.c_str(), 0700) != 0) return false;
  return true;
}

std::string ConfigFolder() {
  std::string base = EnvOr("XDG_CONFIG_HOME", JoinPath(HomeFolder(), ".config"));
  std::string folder = JoinPath(base, "velnora");
  return EnsurePrivateFolder(folder) ? folder : std::string();
}

std::string PrivateTempFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime == '/') {
    std::string folder = JoinPath(runtime, "velnora");
    if (EnsurePrivateFolder(folder)) return folder;
  }
  std::string folder = JoinPath(EnvOr("XDG_CACHE_HOME", JoinPath(HomeFolder(), ".cache")), "velnora/tmp");
  return EnsurePrivateFolder(folder) ? folder : std::string();
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

int64_t FileSize(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool ClearReadOnly(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (st.st_mode & S_IWUSR) return true;
  return chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

FilePtr OpenFile(const std::string& path, const char* mode) {
  // Create through open(2) so that new files get 0600 whatever the umask.
  int flags = 0;
  bool plus = std::strchr(mode, '+') != nullptr;
  switch (mode[0]) {
    case 'r': flags = plus ? O_RDWR : O_RDONLY; break;
    case 'w': flags = (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC; break;
    case 'a': flags = (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND; break;
    default: return nullptr;
  }
  int fd = open(path.c_str(), flags | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  std::FILE* f = fdopen(fd, mode);
  if (!f) {
    close(fd);
    return nullptr;
  }
  return FilePtr(f);
}

FilePtr OpenFileWithRetry(const std::string& path, const char* mode, int attempts, int delayMs,
                          const std::atomic<bool>* stop) {
  for (int i = 0; i < attempts; ++i) {
    if (FilePtr f = OpenFile(path, mode)) return f;
    if (i + 1 == attempts) break;
    for (int waited = 0; waited < delayMs; waited += 50) {
      if (stop && stop->load()) return nullptr;
      std::this_thread::sleep_for(std::chrono::milliseconds(std::min(50, delayMs - waited)));
    }
  }
  return nullptr;
}

bool FlushToDisk(std::FILE* f) {
  if (!f || std::fflush(f) != 0) return false;
  return fsync(fileno(f)) == 0;
}

ReplaceFileWriter::ReplaceFileWriter(std::string targetPath, unsigned mode)
    : target_(std::move(targetPath)) {
  temp_ = target_ + ".new";
  unlink(temp_.c_str());
  int fd = open(temp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) {
    failed_ = true;
    return;
  }
  file_.reset(fdopen(fd, "wb"));
  if (!file_) {
    close(fd);
    failed_ = true;
  }
}

ReplaceFileWriter::~ReplaceFileWriter() {
  if (!committed_) {
    file_.reset();
    unlink(temp_.c_str());
  }
}

bool ReplaceFileWriter::Write(std::span<const uint8_t> bytes) {
  if (!ok()) return false;
  if (pendingHole_ > 0) {
    if (fseeko(file_.get(), static_cast<off_t>(pendingHole_), SEEK_CUR) != 0) failed_ = true;
    pendingHole_ = 0;
  }
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size())
    failed_ = true;
  return ok();
}

bool ReplaceFileWriter::Write(std::string_view bytes) {
  return Write(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

bool ReplaceFileWriter::Skip(uint64_t count) {
  pendingHole_ += count;
  return ok();
}

bool ReplaceFileWriter::Commit() {
  if (!ok()) return false;
  if (pendingHole_ > 0) {
    // A trailing hole: extend the file to its full length.
    if (std::fflush(file_.get()) != 0) return false;
    off_t end = ftello(file_.get()) + static_cast<off_t>(pendingHole_);
    if (ftruncate(fileno(file_.get()), end) != 0) return false;
    pendingHole_ = 0;
  }
  if (!FlushToDisk(file_.get())) return false;
  if (std::fclose(file_.release()) != 0) return false;
  ClearReadOnly(target_);
  if (std::rename(temp_.c_str(), target_.c_str()) != 0) return false;
  committed_ = true;
  // Make the rename itself durable.
  std::string folder = target_.substr(0, target_.find_last_of('/') == std::string::npos
                                                ? 0
                                                : target_.find_last_of('/'));
  int dirfd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirfd >= 0) {
    fsync(dirfd);
    close(dirfd);
  }
  return true;
}

}  // namespace velnora::platform
