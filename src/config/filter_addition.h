// Adding a sender or a subject of a forwarded mail to an account's filter
// list, as the log details dialog offers it.
#pragma once

#include <string>
#include <string_view>

#include "config/settings_image.h"

namespace velnora {

// The address of a From line ("From: " and its value): the text in the first
// angle brackets outside double quotes, else after a leading "(comment)",
// else the value up to a "(" (without the space before it).
std::string ExtractFromAddress(std::string_view line);

// Only the characters an address may hold: letters, digits, "@", "." and
// !#$%&'*+-/=?^_`{|}~. Empty is no address.
bool IsMailAddressText(std::string_view text);

// The account whose list label ("%d : name", or "%d : (popUser)" when the
// name is empty) is `label`, or -1.
int FindAccountByLabel(const SettingsImage& image, std::string_view label);

enum class FilterList { From, Subject };

enum class FilterAddition {
  Added,
  AlreadyThere,
  NotAnAddress,  // From only
  TooLong,       // the list and the entry would reach the field's 4096 bytes
  TooMany,       // the list already has 400 entries
};

struct FilterAdditionResult {
  FilterAddition outcome = FilterAddition::Added;
  int current = 0;  // TooLong: the list's length; TooMany: its entries
};

// Appends `entry` to the list (after a space; a subject with a space in
// double quotes). The filter's switch is left as it is.
FilterAdditionResult AddToFilter(AccountSettings& account, FilterList list, std::string_view entry);

}  // namespace velnora
