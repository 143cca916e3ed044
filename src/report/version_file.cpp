#include "report/version_file.h"

#include <array>
#include <optional>

#include "platform/codepage.h"
#include "report/activity_log.h"

namespace velnora {
namespace {

// "D.DD" as major and minor numbers, so that "5.21" is later than "5.20"
// and a text of the same length in another form is no version at all.
std::optional<std::array<int, 2>> VersionNumbers(std::string_view text) {
  if (text.size() != 4 || text[1] != '.') return std::nullopt;
  for (std::size_t i : {0u, 2u, 3u}) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  }
  return std::array<int, 2>{text[0] - '0', (text[2] - '0') * 10 + (text[3] - '0')};
}

// The next line of `rest`, which moves past its end (CR LF, LF or a bare CR).
// A NUL ends the text: nothing after it is a line.
std::string_view NextLine(std::string_view& rest) {
  const std::size_t end = rest.find_first_of(std::string_view("\r\n\0", 3));
  if (end == std::string_view::npos) {
    const std::string_view line = rest;
    rest = {};
    return line;
  }
  const std::string_view line = rest.substr(0, end);
  if (rest[end] == '\0') {
    rest = {};
  } else {
    rest.remove_prefix(end + (rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n' ? 2 : 1));
  }
  return line;
}

std::string Bounded(std::string_view line) {
  return line.size() < kVersionLineLimit ? std::string(line) : std::string();
}

}  // namespace

VersionFile ReadVersionFile(std::string_view body, std::string_view ownVersion) {
  VersionFile file;
  const std::string_view latest = NextLine(body);
  const auto published = VersionNumbers(latest);
  const auto own = VersionNumbers(ownVersion);
  if (!published || !own) return file;
  if (*published <= *own) {
    file.verdict = VersionVerdict::NotNewer;
    return file;
  }
  file.verdict = VersionVerdict::Newer;
  file.latest = Bounded(latest);
  file.message = Bounded(NextLine(body));
  file.extra = Bounded(NextLine(body));
  return file;
}

void AnnounceVersion(bool fetched, const VersionFile& file, ActivityLog& log) {
  if (!fetched) {
    log.AddActivity(SJIS(u8"最新版情報の取得ができませんでした。「ヘルプ」→「最新情報」で確認できます。"),
                    Category::Information, nullptr);
    log.AddActivity(SJIS(u8"起動に時間がかかる場合は、「共通設定」→「最新版情報/起動画像」をOFFにしてください。"),
                    Category::Information, nullptr);
    return;
  }
  if (file.verdict == VersionVerdict::Newer && !file.message.empty()) {
    log.AddActivity(file.message, Category::ServerNotice, nullptr);
  }
}

}  // namespace velnora
