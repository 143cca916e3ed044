#include "config/filter_addition.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "config/field_table.h"
#include "config/word_list.h"

namespace velnora {
namespace {

constexpr int kMostEntries = 400;

std::string_view SkipOneSpace(std::string_view text) {
  if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

}  // namespace

std::string ExtractFromAddress(std::string_view line) {
  std::string text;
  for (char c : line) {
    if (c != '\r' && c != '\n') text += c;
  }
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    if (text[i] == '<' && !quoted) {
      const std::size_t end = text.find('>', i + 1);
      return text.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
    }
  }
  if (text.size() > 6 && (text[5] == '(' || text[6] == '(')) {
    const std::size_t close = text.find(')');
    return close == std::string::npos ? std::string() : std::string(SkipOneSpace(std::string_view(text).substr(close + 1)));
  }
  std::string_view value = text.size() > 5 ? SkipOneSpace(std::string_view(text).substr(5)) : std::string_view();
  value = value.substr(0, value.find('('));
  while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
  return std::string(value);
}

bool IsMailAddressText(std::string_view text) {
  static constexpr std::string_view kOthers = "!#$%&'*+-/=?^_`.{|}~@";
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                  kOthers.find(c) != std::string_view::npos;
         });
}

int FindAccountByLabel(const SettingsImage& image, std::string_view label) {
  for (int i = 0; i < kAccountCount; ++i) {
    const AccountSettings& a = image.accounts[i];
    const std::string_view name = FieldText(a.accountName, sizeof a.accountName);
    const std::string own = std::to_string(i) + " : " +
                            (name.empty() ? "(" + std::string(FieldText(a.popUser, sizeof a.popUser)) + ")"
                                          : std::string(name));
    if (own == label) return i;
  }
  return -1;
}

FilterAdditionResult AddToFilter(AccountSettings& account, FilterList list, std::string_view entry) {
  char* field = list == FilterList::From ? account.filterFrom : account.filterSubject;
  constexpr std::size_t capacity = sizeof account.filterFrom;
  static_assert(sizeof account.filterFrom == sizeof account.filterSubject);
  // The settings page's edit limit, which the list must stay below.
  const FieldInfo* info = FindField(SettingsRecord::Account, list == FilterList::From ? "filterFrom" : "filterSubject");
  const std::size_t limit = info ? std::size_t(info->maxValue) + 1 : capacity - 1;
  const std::string_view current = FieldText(field, capacity);
  const std::vector<std::string> entries = WordEntries(current);
  if (std::find(entries.begin(), entries.end(), entry) != entries.end()) return {FilterAddition::AlreadyThere};
  if (list == FilterList::From && !IsMailAddressText(entry)) return {FilterAddition::NotAnAddress};
  const bool quote = list == FilterList::Subject && entry.find(' ') != std::string_view::npos;
  std::string text(current);
  if (!text.empty() && text.back() != ' ') text += ' ';
  text += quote ? "\"" + std::string(entry) + "\"" : std::string(entry);
  if (text.size() >= limit) return {FilterAddition::TooLong, int(current.size())};
  if (int(entries.size()) >= kMostEntries) return {FilterAddition::TooMany, int(entries.size())};
  std::memset(field, 0, capacity);
  std::memcpy(field, text.data(), text.size());
  return {FilterAddition::Added};
}

}  // namespace velnora
