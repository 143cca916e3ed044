// Two stages that composition hands over to: the feature-phone shaping and
// division of the body into parts, and the status report that answers a
// remote-control command.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velnora {

struct AccountSettings;
struct SettingsImage;
struct MailMessage;

// The bodies of the parts of a feature-phone forward, each to be written
// with its own header. Empty: the body goes out whole as one file, which is
// what every feature-phone forward does while its body is not shaped.
std::vector<std::string> ShapeFeaturePhoneParts(const MailMessage& message,
                                                const AccountSettings& account);

// The status report of all accounts that answers an accepted remote-control
// command, sized to the message's body area, in ISO-2022-JP; nothing
// without the settings.
std::optional<std::string> RemoteStatusReport(const MailMessage& message,
                                              const SettingsImage* settings);

}  // namespace velnora
