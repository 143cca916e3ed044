#include "engine/compose/compose_hooks.h"

#include <algorithm>
#include <string_view>

#include "convert/charset_code.h"
#include "convert/convert_options.h"
#include "engine/compose/text_forms.h"
#include "engine/message/mail_message.h"
#include "engine/filter/remote_control.h"

namespace velnora {
namespace {

// The report goes out labelled ISO-2022-JP in 7bit, so its Shift_JIS account
// names are converted; half-width katakana, when there are any, as JIS X 0201
// katakana, and a byte that still has no 7-bit form (a user-defined
// character) becomes "?".
std::string StatusReportAsJis(const std::string& sjis) {
  std::string jis = SjisAsJis(sjis, ConvertOptions{});
  if (!HasEightBitByte(jis)) return jis;
  jis = SjisAsJis(sjis, ConvertOptions{.encodeHalfwidthKana = true});
  for (char& c : jis) {
    if (static_cast<unsigned char>(c) >= 0x80) c = '?';
  }
  return jis;
}

}  // namespace

std::optional<std::string> RemoteStatusReport(const MailMessage& message,
                                              const SettingsImage* settings) {
  if (!settings) return std::nullopt;
  // The report takes the place of the received body, in the same area.
  constexpr std::size_t kSmallestArea = 65536;
  return StatusReportAsJis(
      BuildRemoteStatusReport(*settings, std::max(message.bodyCapacity, kSmallestArea)));
}

}  // namespace velnora
