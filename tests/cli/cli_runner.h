// Runs the velnora-cli binary with a private configuration folder and
// collects its exit code and output.
#pragma once

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "support/test_paths.h"

namespace velnora::testing {

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string ShellQuoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') q += "'\\''";
    else q += c;
  }
  return q + "'";
}

// `configHome` becomes $XDG_CONFIG_HOME of the child only.
inline CliRun RunCli(const std::string& configHome, const std::vector<std::string>& args) {
  const std::string errFile = configHome + "/.stderr";
  std::string command = "XDG_CONFIG_HOME=" + ShellQuoted(configHome) + " " + ShellQuoted(CliPath());
  for (const std::string& arg : args) command += " " + ShellQuoted(arg);
  command += " 2>" + ShellQuoted(errFile);
  CliRun run;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::ifstream err(errFile);
  std::stringstream text;
  text << err.rdbuf();
  run.err = text.str();
  return run;
}

// The "name = value" lines of a show output.
inline std::string ShownValue(const std::string& out, const std::string& name) {
  const std::string prefix = name + " = ";
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
  }
  return "<missing " + name + ">";
}

}  // namespace velnora::testing
