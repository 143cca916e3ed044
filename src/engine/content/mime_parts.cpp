#include "engine/content/mime_parts.h"

#include "config/account_settings.h"
#include "convert/charset_detect.h"
#include "engine/content/content_text.h"
#include "engine/content/file_name_parameters.h"
#include "engine/filter/filter_content.h"
#include "engine/filter/filter_word_list.h"
#include "engine/message/byte_strings.h"
#include "transport/field_text.h"

namespace velnora {
namespace {

constexpr std::size_t kMaxKeptExtensions = 20;

PartKind KindOf(std::string_view type, std::string_view body, const AccountSettings& account) {
  if (type == "text/html") return PartKind::Html;
  if (type == "text/plain" || type.empty()) {
    return IsHtmlDocument(body) ? PartKind::Html : PartKind::Text;
  }
  if (type == "message/delivery-status" && account.forwardSmtpErrorMails) return PartKind::Text;
  return PartKind::Other;
}

// The "charset" parameter, its name and label compared without regard to case.
CharsetCode CharsetParameterOf(std::string_view contentType) {
  for (const HeaderParameter& parameter : ParseHeaderParameters(contentType)) {
    if (parameter.attribute == "charset") return CharsetFromLabel(parameter.value);
  }
  return charset::kUndetermined;
}

bool DispositionIsAttachment(std::string_view disposition) {
  const std::size_t colon = disposition.find(':');
  if (colon == std::string_view::npos) return false;
  std::string_view value = disposition.substr(colon + 1);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  return StartsWithNoCase(value, "attachment");
}

void AnalysePart(std::string_view body, MimePart& part, const AccountSettings& account) {
  const std::string_view headers = part.Headers(body);
  const std::string_view type = HeaderField(headers, "content-type");
  const std::string_view disposition = HeaderField(headers, "content-disposition");
  part.kind = KindOf(MediaTypeOf(type), part.Body(body), account);
  part.charset = CharsetParameterOf(type);
  const std::string_view encoding = HeaderField(headers, "content-transfer-encoding");
  part.transfer = encoding.empty() ? 99 : TransferCodeOf(encoding);
  if (headers.size() >= kMaxPartHeaderBytes) {
    part.attachment = true;
    return;
  }
  part.fileName = FileNameParameter(std::string(type) + "\r\n" + std::string(disposition));
  part.attachment = DispositionIsAttachment(disposition) || !part.fileName.empty() ||
                    part.kind == PartKind::Other;
}

}  // namespace

void AnalyseParts(std::string_view body, MimePartTable& table, const AccountSettings& account) {
  for (MimePart& part : table.parts) {
    if (part.kind != PartKind::Multipart) AnalysePart(body, part, account);
  }
}

bool HasVisibleText(std::string_view text) {
  return text.find_first_not_of(" \r\n") != std::string_view::npos;
}

bool Needs8bit(CharsetCode code) {
  return (code >= 5 && code <= 7) || code == 9 || code == 10 || (code >= 13 && code <= 29) ||
         (code >= 44 && code <= 48) || (code >= 51 && code <= 59);
}

std::string RemoveSoftBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool soft = text[i] == '=' && i + 2 < text.size() &&
                      ((text[i + 1] == '\r' && text[i + 2] == '\n') ||
                       (text[i + 1] == '\n' && text[i + 2] == '\r'));
    if (soft) {
      i += 2;
      continue;
    }
    out += text[i];
  }
  return out;
}

bool KeptByExtension(const AccountSettings& account, std::string_view decodedName) {
  if (!account.keepExtensionsOn) return false;
  for (const std::string& entry : SplitAtSpaces(FieldText(account.keepExtensions), kMaxKeptExtensions)) {
    if (entry == "*" || (!decodedName.empty() && EndsWithNoCase(decodedName, entry))) return true;
  }
  return false;
}

CharsetCode SettledHtmlCharset(CharsetCode code, std::string_view html, std::string_view messageType) {
  if (code != charset::kUndetermined && code != charset::kNone) return code;
  code = CharsetFromContentType(html);
  if (code != charset::kUndetermined && code != charset::kNone) return code;
  return CharsetFromLabel(messageType);
}

}  // namespace velnora
