// What the fuzz targets that load a received message share: one private
// folder, settings table and activity log for the whole run, and the
// message file that is rewritten for every input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "config/settings_image.h"
#include "fuzz_quiet.h"
#include "fuzz_support.h"
#include "report/activity_log.h"

namespace velnora::fuzz {

struct MessageScene {
  MessageScene() {
    folder = MakeRunFolder();
    messagePath = folder + "/$vnrmail1.vnr";
    log = std::make_unique<ActivityLog>(reporter, settings->common, folder + "/velnora_.log",
                                        folder + "/velnora_session.log");
    log->SetOpenRetry(1, 0);
  }
  ~MessageScene() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  // The received file as the POP3 client would have stored it.
  void WriteMessage(const uint8_t* bytes, std::size_t size) const {
    std::FILE* file = std::fopen(messagePath.c_str(), "wb");
    if (!file) std::abort();
    std::fwrite(bytes, 1, size, file);
    std::fclose(file);
  }

  std::string folder;
  std::string messagePath;
  QuietReporter reporter;
  std::unique_ptr<SettingsImage> settings = std::make_unique<SettingsImage>();
  std::unique_ptr<ActivityLog> log;
};

}  // namespace velnora::fuzz
