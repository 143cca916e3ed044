#include "engine/content/mime_process.h"

#include <new>
#include <string>

#include "config/account_settings.h"
#include "engine/content/content_text.h"
#include "engine/content/mime_parts.h"
#include "engine/content/mime_rebuild.h"
#include "engine/content/mime_split.h"
#include "engine/content/single_part_steps.h"
#include "engine/message/byte_strings.h"
#include "engine/message/mail_message.h"

namespace velnora {
namespace {

int Outcome(MailMessage& message, Category code, int forward) {
  message.resultCode = code;
  return forward;
}

// Compared without blanks and quotes, over the whole field.
bool IsDeliveryReport(const MailMessage& message) {
  std::string compact;
  for (char c : message.contentType) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '"') compact += c;
  }
  return FindNoCase(compact, "report-type=delivery-status") != kNotFound;
}

bool HasAttachment(const MimePartTable& table) {
  for (const MimePart& part : table.parts) {
    if (part.attachment) return true;
  }
  return false;
}

int Process(MailMessage& message, const AccountSettings& account, const CommonSettings& common) {
  if (!account.phoneMode && (!account.partProcessing || IsDeliveryReport(message))) {
    return Outcome(message, Category::Forwarded, 1);
  }
  if (account.partProcessing && account.oversizeDrop && IsOversize(message, account)) {
    return Outcome(message, Category::SizeFiltered, 0);
  }
  MimePartTable table;
  const std::string_view body = message.Body();
  // What cannot be taken apart safely goes on as it came, never dropped.
  if (!SplitMultipart(message.contentType, body, table)) return Outcome(message, Category::Forwarded, 1);
  AnalyseParts(body, table, account);
  if (account.onlyWithAttachments && !HasAttachment(table)) {
    return Outcome(message, Category::NotForwarded, 0);
  }
  std::string output;
  if (!account.phoneMode) output.reserve(body.size() + 4096);  // files are copied whole
  const int wrote = RebuildMultipartBody(message, table, account, common, output);
  if (account.phoneMode && wrote == 0) return Outcome(message, Category::CharsetFiltered, 0);
  message.bodyEncoding = TransferCodeOfBytes(output);
  message.convertedBody = std::move(output);
  return Outcome(message, account.phoneMode ? Category::ForwardedToPhone
                                            : Category::ForwardedWithoutAttachments, 1);
}

}  // namespace

int ProcessMultipartMessage(MailMessage& message, const AccountSettings& account,
                            const CommonSettings& common) {
  const int layout = message.partLayout;
  const int charsetCode = message.contentCharset;
  try {
    return Process(message, account, common);
  } catch (const std::bad_alloc&) {
    message.convertedBody.reset();
    message.partLayout = layout;
    message.contentCharset = charsetCode;
    return Outcome(message, Category::Forwarded, 1);
  }
}

}  // namespace velnora
