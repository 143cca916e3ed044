#include "engine/compose_hooks.h"

#include <algorithm>

#include "engine/mail_message.h"
#include "engine/remote_control.h"

namespace velnora {

std::vector<std::string> ShapeFeaturePhoneParts(const MailMessage&, const AccountSettings&) {
  return {};
}

std::optional<std::string> RemoteStatusReport(const MailMessage& message,
                                              const SettingsImage* settings) {
  if (!settings) return std::nullopt;
  // The report takes the place of the received body, in the same area.
  constexpr std::size_t kSmallestArea = 65536;
  return BuildRemoteStatusReport(*settings, std::max(message.bodyCapacity, kSmallestArea));
}

}  // namespace velnora
