// The status report that answers a remote-control command, as composition
// writes it.
#pragma once

#include <optional>
#include <string>

namespace velnora {

struct SettingsImage;
struct MailMessage;

// The status report of all accounts that answers an accepted remote-control
// command, sized to the message's body area, in ISO-2022-JP; nothing
// without the settings.
std::optional<std::string> RemoteStatusReport(const MailMessage& message,
                                              const SettingsImage* settings);

}  // namespace velnora
