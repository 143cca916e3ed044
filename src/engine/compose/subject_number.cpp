#include "engine/compose/subject_number.h"

#include <cstdio>

#include "config/account_settings.h"

namespace velnora {
namespace {

bool Numbered(const AccountSettings& account) { return account.phoneMode && account.phoneSplit; }

// "%02d" of the mail number and the part number, its width by the most parts.
std::string MailAndPart(const AccountSettings& account, int part) {
  const int most = account.phoneSplitMaxMails;
  const int mail = account.mailNumber;
  char text[32];
  if (most == 1) std::snprintf(text, sizeof text, "%02d", mail);
  else if (most <= 9) std::snprintf(text, sizeof text, "%02d%1d", mail, part);
  else if (most <= 99) std::snprintf(text, sizeof text, "%02d%02d", mail, part);
  else std::snprintf(text, sizeof text, "%02d%03d", mail, part);
  return text;
}

}  // namespace

std::string NumberPrefix(const AccountSettings& account, int partNumber) {
  if (!Numbered(account)) return {};
  const int part = partNumber + 1;
  if (account.phoneNumberSubjects) return MailAndPart(account, part) + ")";
  if (account.phoneSplitMaxMails == 1) return {};
  return std::to_string(part) + ")";
}

std::string NumberedText(const AccountSettings& account, int partNumber, const std::string& text) {
  if (!account.phoneSplit) return "St:" + text;
  const int part = partNumber + 1;
  if (account.phoneNumberSubjects) return MailAndPart(account, part) + ")" + text;
  if (account.phoneSplitMaxMails == 1) return text;
  return std::to_string(part) + ")" + text;
}

void AdvanceMailNumber(AccountSettings& account) {
  if (!Numbered(account) || !account.phoneNumberSubjects) return;
  int mail = account.mailNumber < 0 ? 0 : account.mailNumber;
  account.mailNumber = static_cast<int16_t>((mail + 1) % kMailNumberModulus);
}

}  // namespace velnora
