// Two stages that composition hands over to and that are not built yet:
// the feature-phone shaping and division of the body into parts, and the
// remote-control status report. Until they are, both leave the message to
// the ordinary single-file composition.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velnora {

struct AccountSettings;
struct CommonSettings;
struct MailMessage;

// The bodies of the parts of a feature-phone forward, each to be written
// with its own header. Empty: the body goes out whole as one file.
// Not built yet: always empty.
std::vector<std::string> ShapeFeaturePhoneParts(const MailMessage& message,
                                                const AccountSettings& account);

// The status report that answers an accepted remote-control command, or
// nothing when the message is no such command. Not built yet: always nothing.
std::optional<std::string> RemoteStatusReport(const MailMessage& message,
                                              const CommonSettings& common);

}  // namespace velnora
