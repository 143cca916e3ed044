// The structure of a multipart body, found by offsets only: the boundaries
// of the message and of its nested multipart parts, and where each part's
// delimiter, headers and body lie. The body itself is never written to, so
// a message that cannot be split stays exactly as it was received.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "convert/charset_code.h"

namespace velnora {

// Fixed bounds of one message's part table.
inline constexpr std::size_t kMaxMimeBoundaries = 10;  // number 0 is the message's own
inline constexpr std::size_t kMaxMimeParts = 100;
inline constexpr std::size_t kMaxBoundaryLength = 70;  // RFC 2046
// Headers this long count as an attachment whose name is not looked for.
inline constexpr std::size_t kMaxPartHeaderBytes = 32 * 1024;

enum class PartKind : int {
  Text = 1,
  Html = 2,
  Multipart = 3,  // split into the parts that follow it in the table
  Other = 99,
};

struct MimePart {
  std::size_t boundary = 0;     // index of the boundary whose delimiter opened the part
  std::size_t start = 0;        // offset of that delimiter ("--" and the boundary) in the body
  std::size_t headerStart = 0;  // first byte after the delimiter line
  std::size_t headerEnd = 0;    // end of the header lines, without the empty line
  std::size_t bodyStart = 0;
  std::size_t end = 0;          // the next delimiter: the line end before it stays in the body
  PartKind kind = PartKind::Other;
  bool attachment = false;
  std::string fileName;         // the raw name parameter, at most 997 bytes
  CharsetCode charset = charset::kUndetermined;
  int transfer = 99;            // transfer code; 99 when no header gives one

  std::string_view Headers(std::string_view body) const {
    return body.substr(headerStart, headerEnd - headerStart);
  }
  std::string_view Body(std::string_view body) const { return body.substr(bodyStart, end - bodyStart); }
};

struct MimePartTable {
  std::vector<std::string> boundaries;
  std::vector<MimePart> parts;  // in the order of the body; nested parts follow their container
};

// The whole header field `lowerName` (e.g. "content-type") of the header
// lines, with its continuation lines; empty when absent.
std::string_view HeaderField(std::string_view headers, std::string_view lowerName);

// The media type of a Content-Type field in lower case ("text/plain"); empty
// without a field.
std::string MediaTypeOf(std::string_view contentTypeField);

// The boundary parameter of a Content-Type field; empty when it is absent
// or not 1 to 70 characters long.
std::string BoundaryOf(std::string_view contentTypeField);

// Fills the table from the message's Content-Type field and its body.
// False when the mail cannot be taken apart safely: no usable boundary, no
// delimiter in the body, or more than kMaxMimeParts parts; the mail is then
// to be forwarded as it is.
bool SplitMultipart(std::string_view contentType, std::string_view body, MimePartTable& table);

}  // namespace velnora
