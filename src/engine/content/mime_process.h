// Content processing of a multipart message: split it into parts, decide
// what of each is forwarded and in which form, and keep the rebuilt body
// beside the received one.
#pragma once

namespace velnora {

struct AccountSettings;
struct CommonSettings;
struct MailMessage;

// Sets `resultCode` and returns 1 to forward, 0 not to. The rebuilt body
// goes into `convertedBody` (the received body is never written to), with
// `partLayout`, `contentCharset` and `bodyEncoding` describing it. A mail
// that cannot be taken apart safely (no usable boundary, no delimiter, too
// many parts, no memory) is forwarded as it was received.
int ProcessMultipartMessage(MailMessage& message, const AccountSettings& account,
                            const CommonSettings& common);

}  // namespace velnora
