#include "engine/content/file_name_parameters.h"

#include <algorithm>
#include <map>
#include <span>

#include "convert/base64.h"
#include "convert/charset_code.h"
#include "engine/content/content_text.h"

namespace velnora {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsAttributeChar(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte > 0x20 && byte < 0x7F && c != '=' && c != ';' && c != '"' && c != ':' && c != ',';
}

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at;
}

// A quoted string from the opening quote: the value and the position after
// the closing quote (the end of the text when it is missing). Line breaks
// inside are folding and disappear.
std::size_t ReadQuoted(std::string_view text, std::size_t at, std::string& value) {
  for (++at; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '"') return at + 1;
    if (c == '\\' && at + 1 < text.size()) value += text[++at];
    else if (c != '\r' && c != '\n') value += c;
  }
  return at;
}

std::size_t ReadToken(std::string_view text, std::size_t at, std::string& value) {
  const std::size_t start = at;
  while (at < text.size() && text[at] != ';' && !IsBlank(text[at])) ++at;
  value.assign(text.substr(start, at - start));
  return at;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "%E5%A0" → bytes; a "%" without two hex digits stays as it is.
std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int high = text[i] == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
    if (low >= 0) {
      out += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string AsEncodedWord(std::string_view charsetLabel, std::string bytes) {
  bytes.resize(std::min(bytes.size(), kMaxFileNameBytes));
  if (charsetLabel.empty()) return bytes;
  std::string base64(4 * (bytes.size() / 3 + 1) + 4, '\0');
  const std::size_t length =
      Base64EncodeBytes(std::span<const char>(bytes.data(), bytes.size()), std::span<char>(base64));
  base64.resize(length);
  return "=?" + std::string(charsetLabel) + "?B?" + base64 + "?=";
}

// Sections of an RFC 2231 value, by number; -1 is the unnumbered "base*".
struct Section {
  std::string value;
  bool encoded = false;
};

std::map<int, Section> SectionsOf(const std::vector<HeaderParameter>& parameters,
                                  std::string_view base) {
  std::map<int, Section> sections;
  for (const HeaderParameter& p : parameters) {
    // "base*" (one encoded value), "base*N" or "base*N*" (section N).
    std::string_view a = p.attribute;
    if (a.size() <= base.size() || a.substr(0, base.size()) != base || a[base.size()] != '*') continue;
    a.remove_prefix(base.size() + 1);
    int number = -1;
    bool encoded = a.empty();
    if (!a.empty()) {
      encoded = a.back() == '*';
      if (encoded) a.remove_suffix(1);
      if (a.empty() || a.size() > 3 ||
          !std::all_of(a.begin(), a.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        continue;
      }
      number = std::stoi(std::string(a));
    }
    sections.try_emplace(number, Section{p.value, encoded});
  }
  return sections;
}

std::string ExtendedValue(const std::map<int, Section>& sections) {
  std::string charsetLabel;
  std::string bytes;
  int expected = sections.begin()->first == -1 ? -1 : 0;
  for (const auto& [number, section] : sections) {
    if (number != expected) break;  // a missing section ends the value
    std::string_view value = section.value;
    if (section.encoded && number <= 0) {
      // charset'language'text
      const std::size_t first = value.find('\'');
      const std::size_t second = first == std::string_view::npos ? first : value.find('\'', first + 1);
      if (second != std::string_view::npos) {
        charsetLabel.assign(value.substr(0, first));
        value.remove_prefix(second + 1);
      }
    }
    bytes += section.encoded ? PercentDecoded(value) : std::string(value);
    if (number == -1) break;
    ++expected;
  }
  return AsEncodedWord(charsetLabel, std::move(bytes));
}

}  // namespace

std::vector<HeaderParameter> ParseHeaderParameters(std::string_view text) {
  std::vector<HeaderParameter> parameters;
  std::size_t at = 0;
  while (at < text.size()) {
    const bool starts = at == 0 || text[at - 1] == ';' || IsBlank(text[at - 1]);
    if (text[at] == '"') {
      std::string skipped;
      at = ReadQuoted(text, at, skipped);
      continue;
    }
    if (!starts || !IsAttributeChar(text[at])) {
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < text.size() && IsAttributeChar(text[end])) ++end;
    std::size_t equals = SkipBlanks(text, end);
    if (equals >= text.size() || text[equals] != '=') {
      at = end;
      continue;
    }
    HeaderParameter parameter;
    parameter.attribute.assign(text.substr(at, end - at));
    for (char& c : parameter.attribute) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t valueAt = SkipBlanks(text, equals + 1);
    at = valueAt < text.size() && text[valueAt] == '"' ? ReadQuoted(text, valueAt, parameter.value)
                                                        : ReadToken(text, valueAt, parameter.value);
    parameters.push_back(std::move(parameter));
  }
  return parameters;
}

std::string AssembleParameter(const std::vector<HeaderParameter>& parameters,
                              std::string_view base) {
  const std::map<int, Section> sections = SectionsOf(parameters, base);
  if (!sections.empty()) {
    std::string value = ExtendedValue(sections);
    if (!value.empty()) return value;
  }
  for (const HeaderParameter& p : parameters) {
    if (p.attribute == base && !p.value.empty()) {
      return p.value.substr(0, std::min(p.value.size(), kMaxFileNameBytes));
    }
  }
  return {};
}

}  // namespace velnora
