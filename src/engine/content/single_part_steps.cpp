#include "engine/content/single_part_steps.h"

#include "config/account_settings.h"
#include "engine/content/content_text.h"
#include "engine/filter/filter_content.h"
#include "engine/message/byte_strings.h"
#include "engine/message/mail_message.h"

namespace velnora {
namespace {

constexpr std::string_view kRemovedFileMark = "--REMOVED_FILE--\r\n";
constexpr std::string_view kFileRemoved = "(FILE_REMOVED)\r\n";
constexpr std::string_view kImageRemoved = "(IMAGE_REMOVED)\r\n";
constexpr std::string_view kLineEnd = "\r\n";

// A notice takes the place of the removed body only when the body was
// longer than these many bytes (beyond them, a bare line end).
constexpr std::size_t kNamedNoticeAfter = 24;
constexpr std::size_t kNameRoomAfter = 26;
constexpr std::size_t kFileNoticeAfter = 20;
constexpr std::size_t kImageNoticeAfter = 21;
constexpr std::size_t kLineEndAfter = 4;

// The notice for a named file, or nothing when the name does not leave the
// documented room.
std::string NamedNotice(std::string_view rawName, std::size_t bodyLength, CharsetCode& code) {
  const FileName name = NoticeFileName(DecodeFileName(rawName));
  std::string notice = std::string(kRemovedFileMark) + name.text + "\r\n";
  if (notice.size() + kNameRoomAfter >= bodyLength) return {};
  // ISO-2022-JP holds plain ASCII too; a name in another set keeps it.
  if (name.code != charset::kUsAscii && name.code != charset::kIso2022Jp) code = name.code;
  return notice;
}

}  // namespace

bool IsOversize(const MailMessage& message, const AccountSettings& account) {
  return static_cast<int64_t>(account.oversizeKb) * 1024 < message.fileSize;
}

bool HasHtmlBody(const MailMessage& message) {
  return message.partLayout == kLayoutHtml ||
         (message.partLayout == kLayoutText && IsHtmlDocument(message.Body()));
}

void SetTextBody(MailMessage& message, std::string text, CharsetCode code, bool base64) {
  message.bodyEncoding = base64 ? kTransferBase64 : TransferCodeOfBytes(text);
  message.contentCharset = code;
  message.partLayout = kLayoutText;
  message.convertedBody = std::move(text);
}

bool ReplaceRemovedFile(MailMessage& message, const AccountSettings& account) {
  const std::size_t length = message.Body().size();
  std::string rawName = FileNameParameter(message.contentDisposition);
  if (rawName.empty()) rawName = FileNameParameter(message.contentType);
  const bool withInfo = !account.phoneNoRemovedFileInfo;
  CharsetCode code = charset::kIso2022Jp;
  std::string notice;
  if (withInfo && !rawName.empty() && length > kNamedNoticeAfter) {
    notice = NamedNotice(rawName, length, code);
    if (notice.empty()) notice = kFileRemoved;
  } else if (withInfo && rawName.empty() && length > kFileNoticeAfter) {
    notice = kFileRemoved;
  } else if (length > kLineEndAfter) {
    notice = kLineEnd;
  } else {
    return false;
  }
  SetTextBody(message, std::move(notice), code);
  return true;
}

bool ReplaceRemovedImage(MailMessage& message, const AccountSettings& account) {
  const std::size_t length = message.Body().size();
  std::string_view notice;
  if (!account.phoneNoRemovedFileInfo && length > kImageNoticeAfter) notice = kImageRemoved;
  else if (length > kLineEndAfter) notice = kLineEnd;
  else return false;
  SetTextBody(message, std::string(notice), charset::kIso2022Jp);
  return true;
}

std::string DecodedLocalText(const MailMessage& message, CharsetCode& code) {
  std::string text = DecodeTransfer(message.Body(), message.bodyEncoding);
  code = ToLocalCodePage(text, code);
  return text;
}

}  // namespace velnora
