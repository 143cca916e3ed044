// A developer aid: with the keyword "pw530928" among the developer options,
// every refusal-worthy reply (one that does not begin with "250") to RSET,
// MAIL FROM, RCPT TO and the end of the text is appended to a capture file.
// The file lives in "velnora_debug_log" under the configuration folder; the
// folder is not created, so the capture is off until the developer makes it.
#pragma once

#include <string>
#include <string_view>

namespace velnora {

struct CommonSettings;

inline constexpr std::string_view kReplyCaptureKeyword = "pw530928";

bool ReplyCaptureOn(const CommonSettings& common);
std::string ReplyCapturePath();
// "yy/mm/dd hh:mm.ss | " and the reply, without an added line end; replies
// beginning with "250" and a file that cannot be opened are skipped.
void CaptureReply(const CommonSettings& common, std::string_view reply);

}  // namespace velnora
