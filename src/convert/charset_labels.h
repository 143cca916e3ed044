// Character-set labels: the encoded-word label table and the labels written
// into outgoing Content-Type headers.
#pragma once

#include <span>
#include <string_view>

#include "convert/charset_code.h"

namespace velnora {

struct CharsetLabelRow {
  CharsetCode code;
  std::string_view label;  // lower case
};

// The 51 labels an encoded-word may carry, in search order.
std::span<const CharsetLabelRow> EncodedWordLabels();

// Index of the first row whose label followed by "?" begins `text`, compared
// without regard to case; -1 when none does.
int MatchEncodedWordLabel(std::string_view text);

// Writes the output label of `code` into `dest` (cut to fit) and returns 1;
// writes "" and returns 0 for codes without one.
int CharsetLabel(CharsetCode code, std::span<char> dest);

// The output label, empty for codes without one.
std::string_view CharsetLabelOf(CharsetCode code);

}  // namespace velnora
