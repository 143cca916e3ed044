// Writing one part file "$vnrdiv<n>.vnr": the envelope control line, the
// header, the empty line and the body, exactly as the SMTP client sends
// them after DATA.
#pragma once

#include <string>
#include <string_view>

namespace velnora {

// The path of part `partNumber` in `folder` (with or without its final "/").
std::string PartPathIn(std::string_view folder, int partNumber);

// Replaces the file with `text` in binary mode (a read-only file is made
// writable first). False, and no file left, when it cannot be written whole:
// a missing or partial part must never go out as if it were the message.
bool WritePartFile(const std::string& path, std::string_view text);

}  // namespace velnora
