// Files and folders: where Velnora keeps its files, and the file operations
// the core needs (retried opens, owner-write on read-only files, writes that
// replace a file whole or not at all).
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace velnora::platform {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// "a/b" from "a" and "b"; keeps a single separator.
std::string JoinPath(std::string_view folder, std::string_view name);

// The process's current folder (for current-folder mode).
std::string CurrentFolder();

// The user's configuration folder, $XDG_CONFIG_HOME/velnora or
// ~/.config/velnora, created with mode 0700 when missing. Empty on failure.
std::string ConfigFolder();

// A private per-user folder for received mail: $XDG_RUNTIME_DIR/velnora, else
// ~/.cache/velnora/tmp, created 0700 and refused when others can read it.
// Empty on failure.
std::string PrivateTempFolder();

// Creates `path` (and its parents) with mode 0700; an existing folder is
// tightened to 0700. Returns false when it cannot be made private.
bool EnsurePrivateFolder(const std::string& path);

bool FileExists(const std::string& path);
// Size in bytes, or -1 when the file cannot be examined.
int64_t FileSize(const std::string& path);
bool RemoveFile(const std::string& path);
bool RenameFile(const std::string& from, const std::string& to);

// Gives the owner write permission (the counterpart of clearing a read-only
// attribute). True when the file is now writable by its owner or is absent.
bool ClearReadOnly(const std::string& path);

// fopen; new files are created with mode 0600 (mail and passwords).
FilePtr OpenFile(const std::string& path, const char* mode);

// The whole file into `text`; false when it cannot be opened or read, or
// holds more than `limit` bytes.
bool ReadWholeFile(const std::string& path, std::string& text, std::size_t limit = std::size_t(1) << 30);
// fopen retried `attempts` times, `delayMs` apart, ending early when `stop`
// is set. Used where another program may briefly hold the file.
FilePtr OpenFileWithRetry(const std::string& path, const char* mode, int attempts = 10,
                          int delayMs = 1000, const std::atomic<bool>* stop = nullptr);

// Flushes a stdio stream to the disk (fflush and fsync).
bool FlushToDisk(std::FILE* f);

// Writes a file beside the target and renames it into place on Commit, so a
// crash, a kill or a full disk leaves either the old or the new file whole.
// Without Commit the partial file is removed.
class ReplaceFileWriter {
 public:
  explicit ReplaceFileWriter(std::string targetPath, unsigned mode = 0600);
  ~ReplaceFileWriter();
  ReplaceFileWriter(const ReplaceFileWriter&) = delete;
  ReplaceFileWriter& operator=(const ReplaceFileWriter&) = delete;

  bool ok() const { return file_ != nullptr && !failed_; }
  bool Write(std::span<const uint8_t> bytes);
  bool Write(std::string_view bytes);
  // Leaves a hole of `count` zero bytes (the file may become sparse).
  bool Skip(uint64_t count);
  // Flushes, syncs and renames into place. False when anything failed.
  bool Commit();
  std::FILE* stream() { return file_.get(); }

 private:
  std::string target_;
  std::string temp_;
  FilePtr file_;
  uint64_t pendingHole_ = 0;
  bool failed_ = false;
  bool committed_ = false;
};

}  // namespace velnora::platform
