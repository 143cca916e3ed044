#include "engine/compose_hooks.h"

namespace velnora {

std::vector<std::string> ShapeFeaturePhoneParts(const MailMessage&, const AccountSettings&) {
  return {};
}

std::optional<std::string> RemoteStatusReport(const MailMessage&, const CommonSettings&) {
  return std::nullopt;
}

}  // namespace velnora
