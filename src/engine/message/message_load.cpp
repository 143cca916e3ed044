#include "engine/message/message_load.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <new>

#include "config/account_settings.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "report/activity_log.h"

namespace velnora {
namespace {

// Error entries of the program itself; status icon for errors.

LoadStatus Fail(LoadStatus status, std::string_view text, ActivityLog& log,
                const AccountSettings& account) {
  log.AddActivity(text, Category::ServerNotice, &account);
  log.SetStatus(text, StatusIcon::Error);
  return status;
}

// The end line "." of the response, at `at` where a line starts after CR LF
// (or at the start of the text): followed by CR LF or by the end of the file.
bool IsEndLine(const char* text, size_t at, size_t size) {
  if (text[at] != '.') return false;
  if (at + 1 == size) return true;
  return text[at + 1] == '\r' && (at + 2 == size || text[at + 2] == '\n');
}

}  // namespace

size_t RemoveDotStuffing(char* text, size_t size) {
  size_t out = 0;
  bool lineStart = true;
  // Only CR LF starts a line that can end the response; a dot after a bare
  // LF is message text, as the POP3 client reads it. (The bytes before `in`
  // may already be overwritten, so the line end is tracked here.)
  bool afterCrLf = true;
  char previous = 0;
  for (size_t in = 0; in < size;) {
    if (lineStart && text[in] == '.') {
      if (afterCrLf && IsEndLine(text, in, size)) break;
      if (in + 1 < size && text[in + 1] == '.') ++in;
    }
    const char c = text[in++];
    text[out++] = c;
    lineStart = c == '\n';
    afterCrLf = lineStart && previous == '\r';
    previous = c;
  }
  return out;
}

LoadStatus LoadMessageFile(const std::string& path, MailMessage& message, ActivityLog& log,
                           const AccountSettings& account) {
  const std::string& missing = SJIS(
      u8"エラー：テンポラリファイルがありません。（他のウイルスチェッカが削除したかも知れません。）");
  const std::string& noMemory =
      SJIS(u8"エラー：メモリ不足のためテンポラリファイルがロードできません。");

  FreeMessage(message);
  const int64_t size = platform::FileSize(path);
  if (size <= 0) return Fail(LoadStatus::Missing, missing, log, account);
  // The sizes are kept as 32-bit counts; a larger file cannot be handled.
  if (size > std::numeric_limits<int32_t>::max() - (1 << 21)) {
    return Fail(LoadStatus::NoMemory, noMemory, log, account);
  }
  const size_t fileSize = static_cast<size_t>(size);
  try {
    message.buffer.assign(MessageBufferSize(fileSize), '\0');
  } catch (const std::bad_alloc&) {
    return Fail(LoadStatus::NoMemory, noMemory, log, account);
  }

  platform::FilePtr file = platform::OpenFile(path, "rb");
  if (!file) {
    FreeMessage(message);
    return Fail(LoadStatus::Missing, missing, log, account);
  }
  // The file may have changed since its size was taken: read no more than
  // measured, so the terminating NUL always fits.
  const size_t read = std::fread(message.buffer.data(), 1, fileSize, file.get());
  if (read == 0) {
    FreeMessage(message);
    return Fail(LoadStatus::Missing, missing, log, account);
  }
  message.textLength = RemoveDotStuffing(message.buffer.data(), read);
  // The text is NUL-terminated for every later stage: a NUL inside it
  // (never valid in mail) would hide the rest of the message, so it
  // becomes a blank, as in a server's reply.
  std::replace(message.buffer.begin(), message.buffer.begin() + message.textLength, '\0', ' ');
  message.buffer[message.textLength] = '\0';
  message.fileSize = static_cast<int32_t>(fileSize);
  message.bodyCapacity = message.buffer.size();
  return LoadStatus::Loaded;
}

}  // namespace velnora
