#include "cli/cli_context.h"

#include "platform/codepage.h"

namespace velnora::cli {

int Fail(const CliContext& context, std::string_view message) {
  std::fprintf(context.err, "velnora-cli: %.*s\n", static_cast<int>(message.size()), message.data());
  return kExitError;
}

std::string ConsoleText(std::string_view cp932) {
  // Control characters would break the one-line-per-field output.
  std::string out;
  for (char ch : platform::Cp932ToUtf8(cp932)) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      out += escaped;
    } else {
      out += ch;
    }
  }
  return out;
}

}  // namespace velnora::cli
