// The new body of a multipart message: the parts kept, converted or
// replaced by a removed-file notice for an ordinary account, or one plain
// text for a feature phone. Always written into a growable result beside
// the message; the received body is only read.
#pragma once

#include <string>
#include <string_view>

#include "engine/content/mime_split.h"

namespace velnora {

struct AccountSettings;
struct CommonSettings;
struct MailMessage;

// Writes the rebuilt body to `output` and sets `partLayout` (and, for a
// feature phone, `contentCharset`). Feature-phone mode: 1 when something was
// written or `forwardSmtpErrorMails` is on, else 0; otherwise always 1.
int RebuildMultipartBody(MailMessage& message, const MimePartTable& table,
                         const AccountSettings& account, const CommonSettings& common,
                         std::string& output);

// The two modes, for RebuildMultipartBody.
int RebuildNormalBody(MailMessage& message, const MimePartTable& table,
                      const AccountSettings& account, const CommonSettings& common,
                      std::string& output);
int RebuildPhoneBody(MailMessage& message, const MimePartTable& table,
                     const AccountSettings& account, const CommonSettings& common,
                     std::string& output);

}  // namespace velnora
