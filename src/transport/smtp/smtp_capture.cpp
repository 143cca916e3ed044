#include "transport/smtp/smtp_capture.h"

#include <cstdio>
#include <cstring>

#include "config/common_settings.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace velnora {

bool ReplyCaptureOn(const CommonSettings& common) {
  std::string_view options(common.developerOptions,
                           strnlen(common.developerOptions, sizeof common.developerOptions));
  return options.find(kReplyCaptureKeyword) != std::string_view::npos;
}

std::string ReplyCapturePath() {
  std::string config = platform::ConfigFolder();
  if (config.empty()) return {};
  return platform::JoinPath(platform::JoinPath(config, "velnora_debug_log"), "pw530928.txt");
}

void CaptureReply(const CommonSettings& common, std::string_view reply) {
  if (!ReplyCaptureOn(common) || reply.starts_with("250")) return;
  std::string path = ReplyCapturePath();
  if (path.empty()) return;
  platform::FilePtr file = platform::OpenFile(path, "ab");
  if (!file) return;
  const auto t = platform::LocalNow();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d/%02d/%02d %02d:%02d.%02d | ", t.year % 100, t.month,
                t.day, t.hour, t.minute, t.second);
  std::fputs(stamp, file.get());
  std::fwrite(reply.data(), 1, reply.size(), file.get());
}

}  // namespace velnora
