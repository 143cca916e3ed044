// The content of a message that is not multipart, handled as a whole:
// forwarded unchanged, its HTML turned into text, its Unicode text brought
// into the local code page, an oversize attachment or image replaced by a
// short notice, or, for feature phones, reduced to wrapped plain text.
#pragma once

namespace velnora {

struct AccountSettings;
struct CommonSettings;
struct MailMessage;

// True to forward. Sets `resultCode`; a changed body goes into
// `convertedBody` (the received one stays as it was) with `partLayout`,
// `contentCharset` and `bodyEncoding` describing the bytes written.
bool ProcessSinglePartMessage(MailMessage& message, const AccountSettings& account,
                              const CommonSettings& common);

}  // namespace velnora
