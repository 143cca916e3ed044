// Word lists: settings texts whose entries are separated by half-width
// spaces, an entry with spaces enclosed in double quotes. All byte handling
// is code page 932: a double-byte character is always kept whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velnora {

// True when `c` starts a double-byte code page 932 character.
bool IsCp932LeadByte(unsigned char c);

// The list as the settings pages store it: outside double quotes CR LF, a
// lone CR or LF, "," and the full-width space each become one space; inside
// double quotes a line break ends the quoted section (written as `"` and a
// space). The result holds at most capacity - 1 bytes (a buffer of
// `capacity` with its NUL) and never ends in half a character.
std::string NormalizeWordList(std::string_view text, std::size_t capacity);

// In place on a NUL-terminated buffer of `capacity` bytes.
void NormalizeWordList(char* text, std::size_t capacity);

// Number of entries: space-separated, double quotes group, empty entries
// not counted.
int CountWords(std::string_view text);

// The entries, without the double quotes that group them.
std::vector<std::string> WordEntries(std::string_view text);
// Number of double-quote characters; an odd count means an open quote.
int CountQuotes(std::string_view text);

// The list with one entry per line, for editing elsewhere: normalised, each
// space outside double quotes becomes CR LF; at most `limit` bytes, never
// ending in half a character.
std::string WordListLines(std::string_view text, std::size_t limit);

// The text of a NUL-terminated field buffer (up to the NUL or its end).
std::string_view FieldText(const char* buffer, std::size_t capacity);

}  // namespace velnora
