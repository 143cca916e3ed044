#include "engine/content/mime_split.h"

#include "convert/ascii_case.h"
#include "engine/content/file_name_parameters.h"
#include "engine/message/byte_strings.h"

namespace velnora {
namespace {

enum class Delimiter { None, Open, Close };

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A delimiter line: at the start of the range or after LF, "--" and the
// boundary, then "--" (the closing one) or a line end, a blank or the end.
// Anything else merely contains the boundary ("e-mail" for "mail").
Delimiter DelimiterAt(std::string_view range, std::size_t at, std::size_t rangeStart,
                      std::size_t dashLength) {
  if (at != rangeStart && range[at - 1] != '\n') return Delimiter::None;
  const std::size_t after = at + dashLength;
  if (after + 1 < range.size() && range[after] == '-' && range[after + 1] == '-') return Delimiter::Close;
  if (after == range.size()) return Delimiter::Open;
  const char c = range[after];
  return c == '\r' || c == '\n' || IsBlank(c) ? Delimiter::Open : Delimiter::None;
}

struct Found {
  std::size_t at = std::string_view::npos;
  Delimiter kind = Delimiter::None;
};

// The first delimiter of `dash` ("--" boundary) in range[from, end).
Found NextDelimiter(std::string_view range, std::size_t from, std::size_t rangeStart,
                    std::string_view dash) {
  for (std::size_t at = range.find(dash, from); at != std::string_view::npos;
       at = range.find(dash, at + 1)) {
    const Delimiter kind = DelimiterAt(range, at, rangeStart, dash.size());
    if (kind != Delimiter::None) return {at, kind};
  }
  return {};
}

// A line of the form "name:" (no blank before the colon).
bool LooksLikeHeaderLine(std::string_view text) {
  const std::size_t colon = text.find(':');
  return colon != 0 && colon != std::string_view::npos &&
         text.substr(0, colon).find_first_of(" \t\r\n") == std::string_view::npos;
}

// Header lines run to the first empty line. A part that starts with one
// has no headers; a part without one is all headers when it starts like a
// header line, else all body (its text must not vanish).
void LocateBody(std::string_view body, MimePart& part) {
  const std::string_view text = body.substr(0, part.end);
  for (std::size_t line = part.headerStart; line < text.size();) {
    const bool crlf = text[line] == '\r' && line + 1 < text.size() && text[line + 1] == '\n';
    if (text[line] == '\n' || crlf) {
      std::size_t end = line;
      if (end > part.headerStart) --end;  // the LF of the last header line
      if (end > part.headerStart && text[end - 1] == '\r') --end;
      part.headerEnd = end;
      part.bodyStart = line + (crlf ? 2 : 1);
      return;
    }
    const std::size_t lineEnd = text.find('\n', line);
    if (lineEnd == std::string_view::npos) break;
    line = lineEnd + 1;
  }
  const bool headers = LooksLikeHeaderLine(text.substr(part.headerStart));
  part.headerEnd = headers ? part.end : part.headerStart;
  part.bodyStart = headers ? part.end : part.headerStart;
}

class Splitter {
 public:
  Splitter(std::string_view body, MimePartTable& table) : body_(body), table_(table) {}

  // The parts delimited by boundary `index` in body[from, to); false when
  // the table overflows.
  bool Split(std::size_t index, std::size_t from, std::size_t to) {
    const std::string_view range = body_.substr(0, to);
    const std::string dash = "--" + table_.boundaries[index];
    Found current = NextDelimiter(range, from, from, dash);
    while (current.kind == Delimiter::Open) {
      const std::size_t lineEnd = range.find('\n', current.at);
      const std::size_t headerStart = lineEnd == std::string_view::npos ? to : lineEnd + 1;
      const Found next = NextDelimiter(range, headerStart, from, dash);
      MimePart part;
      part.boundary = index;
      part.start = current.at;
      part.headerStart = headerStart;
      part.end = next.at == std::string_view::npos ? to : next.at;
      LocateBody(body_, part);
      if (table_.parts.size() >= kMaxMimeParts) return false;
      table_.parts.push_back(part);
      if (!SplitNested(table_.parts.size() - 1)) return false;
      current = next;
    }
    return true;
  }

 private:
  // A part whose own Content-Type is multipart with a usable boundary is
  // split by that boundary; only such headers give nested boundaries.
  bool SplitNested(std::size_t number) {
    const MimePart part = table_.parts[number];
    const std::string_view type = HeaderField(part.Headers(body_), "content-type");
    if (!MediaTypeOf(type).starts_with("multipart/")) return true;
    const std::string boundary = BoundaryOf(type);
    if (boundary.empty() || table_.boundaries.size() >= kMaxMimeBoundaries) return true;
    table_.boundaries.push_back(boundary);
    const std::size_t before = table_.parts.size();
    if (!Split(table_.boundaries.size() - 1, part.bodyStart, part.end)) return false;
    // Without a delimiter of its own it stays one part, kept or removed whole.
    if (table_.parts.size() > before) table_.parts[number].kind = PartKind::Multipart;
    return true;
  }

  std::string_view body_;
  MimePartTable& table_;
};

}  // namespace

std::string_view HeaderField(std::string_view headers, std::string_view lowerName) {
  for (std::size_t at = 0; at < headers.size();) {
    std::size_t lineEnd = headers.find('\n', at);
    std::size_t colon = at + lowerName.size();
    while (colon < headers.size() && IsBlank(headers[colon])) ++colon;
    if (StartsWithLower(headers.substr(at), lowerName) && colon < headers.size() && headers[colon] == ':') {
      while (lineEnd != std::string_view::npos && lineEnd + 1 < headers.size() &&
             IsBlank(headers[lineEnd + 1])) {
        lineEnd = headers.find('\n', lineEnd + 1);
      }
      return headers.substr(at, (lineEnd == std::string_view::npos ? headers.size() : lineEnd) - at);
    }
    if (lineEnd == std::string_view::npos) break;
    at = lineEnd + 1;
  }
  return {};
}

std::string MediaTypeOf(std::string_view field) {
  const std::size_t colon = field.find(':');
  if (colon == std::string_view::npos) return {};
  std::string type;
  for (std::size_t i = colon + 1; i < field.size() && field[i] != ';'; ++i) {
    const char c = field[i];
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
      type += static_cast<char>(LowerAscii(static_cast<unsigned char>(c)));
    }
  }
  return type;
}

std::string BoundaryOf(std::string_view field) {
  for (const HeaderParameter& parameter : ParseHeaderParameters(field)) {
    if (parameter.attribute != "boundary") continue;
    const std::string& value = parameter.value;
    if (value.empty() || value.size() > kMaxBoundaryLength) return {};
    return value;
  }
  return {};
}

bool SplitMultipart(std::string_view contentType, std::string_view body, MimePartTable& table) {
  table = {};
  const std::string boundary = BoundaryOf(contentType);
  if (boundary.empty()) return false;
  table.boundaries.push_back(boundary);
  Splitter splitter(body, table);
  return splitter.Split(0, 0, body.size()) && !table.parts.empty();
}

}  // namespace velnora
