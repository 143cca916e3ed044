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

// The label written into an outgoing Content-Type, empty for codes without one.
std::string_view CharsetLabelOf(CharsetCode code);

}  // namespace velnora
