// One received message: the whole text in one writable buffer, the header
// lines the later stages read (views into that buffer), and the outcome
// fields that filters, conversion and composition fill in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/activity_log.h"

namespace velnora {

// More header lines than this stay part of the last recorded line.
inline constexpr size_t kMaxHeaderLines = 200;
inline constexpr size_t kMaxReceivedLines = 200;
inline constexpr size_t kMaxXHeaders = 50;

struct MailMessage {
  MailMessage() = default;
  MailMessage(const MailMessage&) = delete;  // the views point into `buffer`
  MailMessage& operator=(const MailMessage&) = delete;
  MailMessage(MailMessage&&) = default;  // a moved vector keeps its storage
  MailMessage& operator=(MailMessage&&) = default;

  int32_t fileSize = 0;    // size of the temporary file in bytes
  int32_t index = 0;       // 0-based position in the mailbox
  Category resultCode = Category::Forwarded;  // the outcome

  // The allocation: the message text, NUL-terminated, then room for the
  // body to grow when it is rewritten in place.
  std::vector<char> buffer;
  size_t textLength = 0;    // bytes of text loaded
  size_t headerLength = 0;  // bytes of the header part (without its last CR LF)

  // Whole header lines, name and colon included, folded lines kept with
  // their CR LF; empty when absent. The last line of a name wins.
  std::string_view subject, from, cc, to, replyTo, mimeVersion, contentType,
      contentTransferEncoding, contentDisposition, messageId, date, sender, inReplyTo,
      references, xPriority, xMsmailPriority, priority, importance, xMailer;
  std::string_view readReceiptTo;  // Disposition-Notification-To or X-Confirm-Reading-To
  std::string_view userAgent;
  std::vector<std::string_view> received;  // at most kMaxReceivedLines, in order
  std::vector<std::string_view> xHeaders;  // "X-" lines except X-Mailer, at most kMaxXHeaders

  // First byte after the blank line that ends the header; null without one.
  // The body is NUL-terminated and may be rewritten up to bodyCapacity bytes.
  char* body = nullptr;
  size_t bodyCapacity = 0;

  // The body after a content conversion, which may be longer than the
  // received one: kept apart so that the header views into `buffer` stay
  // valid. When set, it is the body that goes out.
  std::optional<std::string> convertedBody;

  // Work areas of filtering, conversion and composition.
  int32_t contentCharset = 0;  // CharsetCode of the text
  int32_t partLayout = 0;      // layout code of the MIME structure
  int32_t bodyEncoding = 99;   // 1 7bit, 2 8bit, 3 quoted-printable, 4 base64, 99 not given
  int16_t partNumber = 0;      // output files written
  int16_t fromOnReplaceList = 0;
  // Set by the duplicate check: this account's forwarding-log record shows
  // the message forwarded (a kill fell between forwarding and deletion).
  bool forwardedHere = false;

  char* text() { return buffer.empty() ? nullptr : buffer.data(); }
  const char* text() const { return buffer.empty() ? nullptr : buffer.data(); }
  // The header part up to its terminator (the whole text before parsing).
  // After parsing, the line end before each recorded header line holds NUL.
  std::string_view Header() const;
  // The body up to its NUL, never past bodyCapacity; empty when there is none.
  std::string_view Body() const;
  // The body to forward: the converted one when there is one, else Body().
  std::string_view OutgoingBody() const { return convertedBody ? std::string_view(*convertedBody) : Body(); }
};

// Releases the text and clears every field.
void FreeMessage(MailMessage& message);

// The buffer size for a text of `textSize` bytes: at least 1 MiB, so that the
// body can grow in place without a new allocation.
size_t MessageBufferSize(size_t textSize);

// Puts `text` (the message as its sender wrote it) into a freshly sized
// buffer, as the loader does; for messages that do not come from a file.
// False when the memory cannot be had.
bool SetMessageText(MailMessage& message, std::string_view text);

// What the activity list shows of a processed message.
MessageActivity ActivityOf(const MailMessage& message, int statCount);

}  // namespace velnora
