// Programs started and ended by velnora-cli demo (the test mail servers):
// a child process with its output in a file, ended with SIGTERM (then
// SIGKILL) when its owner goes; and who such children run as.
#pragma once

#include <string>
#include <vector>

namespace velnora::platform {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess() { Stop(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts argv[0] (searched in PATH) with stdout and stderr appended to
  // `logPath`. False when it could not be started.
  bool Start(const std::vector<std::string>& argv, const std::string& logPath);
  // Whether it still runs.
  bool Running();
  // SIGTERM, up to `graceMs` to end, then SIGKILL; reaps it.
  void Stop(int graceMs = 3000);
  long pid() const { return pid_; }

 private:
  long pid_ = -1;
};

// True when this process runs as the superuser.
bool RunningAsRoot();
// The login name of this process's user and the name of its group ("" when unknown).
std::string CurrentUserName();
std::string CurrentGroupName();
// Hands `path` and everything below it to `user` (root only). False on failure.
bool GiveToUser(const std::string& path, const std::string& user);

}  // namespace velnora::platform
