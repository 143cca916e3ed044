#include "platform/server_programs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace velnora::platform {
namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindServerProgramIn(const std::string& name, const std::string& path) {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : std::string();
  std::size_t at = 0;
  while (at <= path.size()) {
    std::size_t end = path.find(':', at);
    if (end == std::string::npos) end = path.size();
    // Empty and relative entries name the current folder: a server is never taken from there.
    if (end > at && path[at] == '/') {
      const std::string candidate = path.substr(at, end - at) + "/" + name;
      if (IsExecutableFile(candidate)) return candidate;
    }
    at = end + 1;
  }
  for (const char* folder : kServerProgramFolders) {
    const std::string candidate = std::string(folder) + "/" + name;
    if (IsExecutableFile(candidate)) return candidate;
  }
  return {};
}

std::string FindServerProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  return FindServerProgramIn(name, path ? path : "");
}

}  // namespace velnora::platform
