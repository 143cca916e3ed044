// Where tests find velnora-cli and their own files: the build's paths, or,
// for a copy of the build run by another user (who may not read the build
// folder), the paths in VELNORA_TEST_CLI and VELNORA_TEST_SOURCE_DIR.
#pragma once

#include <cstdlib>
#include <string>

namespace velnora::testing {

inline std::string CliPath() {
  const char* path = std::getenv("VELNORA_TEST_CLI");
  return path && *path ? path : VELNORA_CLI_PATH;
}

inline std::string SourceDir() {
  const char* path = std::getenv("VELNORA_TEST_SOURCE_DIR");
  return path && *path ? path : VELNORA_SOURCE_DIR;
}

}  // namespace velnora::testing
