// Division of a shaped feature-phone body into the bodies of numbered
// parts, each opened by its information lines and sized so that the part,
// its counted header lines included, fits the account's part size.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/compose/phone_shaping.h"

namespace velnora {

struct AccountSettings;

// End marks of a divided body.
inline constexpr std::string_view kEndMark = "<E!>\r\n";       // the text ends here
inline constexpr std::string_view kContinuedMark = "<C.>\r\n";  // more text was not sent

// Bytes that a divided part keeps free of text for the end of its last line.
inline constexpr long kPartEndReserve = 4;
// A forced break goes into a part's text after this many counted bytes.
inline constexpr long kPartLineBytes = 1024;

struct PartSource {
  const ShapedBody& shaped;
  const AccountSettings& account;
  // The information lines that open part n, in their output form with CR LF
  // each; their bytes count toward the part size.
  std::function<std::vector<std::string>(int)> infoLines;
  // Bytes of the header lines of part n that count toward the part size.
  std::function<long(int)> countedHeader;
  // Shaped text in the form it is written (ISO-2022-JP, UTF-8 or as it is).
  std::function<std::string(std::string_view)> outputForm;
};

// The part bodies, at least one; at most `phoneSplitMaxMails` when the
// account divides mails.
std::vector<std::string> DividePhoneBody(const PartSource& source);

// The address length that a counted From or Reply-To line adds: the text in
// its last angle brackets, else the address up to a space, "(" or ",".
std::size_t CountedAddressLength(std::string_view line);

// Bytes of the From, Subject and Reply-To lines of `header` (the lines of
// one part) that the account counts toward the part size.
long CountedHeaderBytes(std::string_view header, const AccountSettings& account);

}  // namespace velnora
