// The local machine as other programs see it.
#pragma once

#include <string>
#include <string_view>

namespace velnora::platform {

// The local host name for HELO/EHLO; "localhost" when it cannot be read.
std::string LocalHostName();

// Opens a file or web address with the desktop's default application
// (xdg-open). Returns false when it could not be started.
bool OpenWithDesktop(std::string_view target);

}  // namespace velnora::platform
