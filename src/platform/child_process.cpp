#include "platform/child_process.h"

#include <csignal>
#include <filesystem>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/clock.h"

extern char** environ;

namespace velnora::platform {

bool ChildProcess::Start(const std::vector<std::string>& argv, const std::string& logPath) {
  Stop();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  pid_ = pid;
  return true;
}

bool ChildProcess::Running() {
  if (pid_ <= 0) return false;
  int status = 0;
  if (::waitpid(pid_t(pid_), &status, WNOHANG) == 0) return true;
  pid_ = -1;
  return false;
}

void ChildProcess::Stop(int graceMs) {
  if (!Running()) return;
  ::kill(pid_t(pid_), SIGTERM);
  const int64_t deadline = TickMs() + graceMs;
  while (TickMs() < deadline) {
    if (!Running()) return;
    SleepMs(50);
  }
  ::kill(pid_t(pid_), SIGKILL);
  int status = 0;
  ::waitpid(pid_t(pid_), &status, 0);
  pid_ = -1;
}

bool RunningAsRoot() { return ::geteuid() == 0; }

std::string CurrentUserName() {
  const passwd* entry = ::getpwuid(::geteuid());
  return entry && entry->pw_name ? entry->pw_name : "";
}

std::string CurrentGroupName() {
  const group* entry = ::getgrgid(::getegid());
  return entry && entry->gr_name ? entry->gr_name : "";
}

bool GiveToUser(const std::string& path, const std::string& user) {
  const passwd* entry = ::getpwnam(user.c_str());
  if (!entry) return false;
  const uid_t uid = entry->pw_uid;
  const gid_t gid = entry->pw_gid;
  bool ok = ::lchown(path.c_str(), uid, gid) == 0;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(path, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    ok = ::lchown(it->path().c_str(), uid, gid) == 0 && ok;
  }
  return ok && !ec;
}

}  // namespace velnora::platform
