#include "engine/message/mail_message.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace velnora {

std::string_view MailMessage::Header() const {
  if (buffer.empty()) return {};
  return std::string_view(buffer.data(), body ? headerLength : textLength);
}

std::string_view MailMessage::Body() const {
  if (!body || buffer.empty()) return {};
  return std::string_view(body, strnlen(body, bodyCapacity));
}

void FreeMessage(MailMessage& message) { message = MailMessage(); }

size_t MessageBufferSize(size_t textSize) {
  constexpr size_t kMiB = 1048576;
  if (textSize < kMiB / 2) return kMiB;
  if (textSize < kMiB) return 2 * textSize;
  return textSize + kMiB;
}

bool SetMessageText(MailMessage& message, std::string_view text) {
  FreeMessage(message);
  try {
    message.buffer.assign(MessageBufferSize(text.size()), '\0');
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::memcpy(message.buffer.data(), text.data(), text.size());
  // As the loader does: a NUL would hide the rest of the text.
  std::replace(message.buffer.begin(), message.buffer.begin() + text.size(), '\0', ' ');
  message.textLength = text.size();
  message.bodyCapacity = message.buffer.size();
  message.fileSize = static_cast<int32_t>(text.size());
  return true;
}

MessageActivity ActivityOf(const MailMessage& message, int statCount) {
  MessageActivity activity;
  activity.fileSize = message.fileSize;
  activity.resultCode = message.resultCode;
  activity.statCount = statCount;
  activity.subject = message.subject;
  activity.from = message.from;
  activity.to = message.to;
  activity.messageId = message.messageId;
  activity.date = message.date;
  return activity;
}

}  // namespace velnora
