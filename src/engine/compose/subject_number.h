// Part numbering of divided feature-phone mails: the number put in front of
// each part's subject and the running mail number that ties the parts of one
// mail together.
#pragma once

#include <string>

namespace velnora {

struct AccountSettings;

// The running mail number goes 1 .. 99, 0, 1 ...
inline constexpr int kMailNumberModulus = 100;

// "073)" for the third part of mail 7 among at most 4 parts; empty for an
// ordinary account or one that does not divide mails.
std::string NumberPrefix(const AccountSettings& account, int partNumber);

// The same number around a text, as the subject information line shows it;
// "St:<text>" when mails are not divided.
std::string NumberedText(const AccountSettings& account, int partNumber, const std::string& text);

// Advances the account's mail number once per message, before its files are
// written, when its parts are numbered. A stored negative number restarts.
void AdvanceMailNumber(AccountSettings& account);

}  // namespace velnora
