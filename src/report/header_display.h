// The display form of a header value in the activity list: encoded-words
// decoded and the text brought to the local code page by the account's rules.
#pragma once

#include <string>
#include <string_view>

namespace velnora {

struct AccountSettings;

std::string DisplayHeaderValue(std::string_view value, const AccountSettings& account);

}  // namespace velnora
