// The single steps of feature-phone shaping, each taking the text and
// returning the shaped text; every text has CR LF line ends.
#pragma once

#include <string>
#include <string_view>

#include "convert/charset_code.h"

namespace velnora {

struct AccountSettings;

// Citation lines after the first line of the body.
std::string RemoveCitations(std::string_view text, const AccountSettings& account);

// From the line holding "original message" on.
std::string CutOriginalMessage(std::string_view text, int linesAfter);

// At the first of the account's cut words.
std::string CutAtWords(std::string_view text, const AccountSettings& account);

// Spaces, tabs, ideographic spaces and runs of a repeated symbol.
std::string RemoveCharacters(std::string_view text, CharsetCode code, const AccountSettings& account);

// Empty lines (and, unless the mail is Japanese, leading spaces).
std::string RemoveBlankLines(std::string_view text, CharsetCode code);

// Word compaction and the conversion of line breaks.
std::string CompactText(std::string_view text, CharsetCode code, const AccountSettings& account);

}  // namespace velnora
