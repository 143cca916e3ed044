// Loading a received message from its temporary file into a MailMessage.
#pragma once

#include <string>
#include <string_view>

#include "engine/message/mail_message.h"

namespace velnora {

struct AccountSettings;
class ActivityLog;

enum class LoadStatus {
  Loaded,
  Missing,   // no file, an empty file, or a file that cannot be read
  NoMemory,  // no buffer for it
};

// Reads the file written by the POP3 client (the RETR response as received)
// and gives the message as its sender wrote it: the dot-stuffing is removed
// (a line beginning ".." loses one ".") and the end line "." is dropped.
// A failure is shown in the activity list and the status bar and returned,
// so the caller can keep the message on the server for the next check.
LoadStatus LoadMessageFile(const std::string& path, MailMessage& message, ActivityLog& log,
                           const AccountSettings& account);

// Removes POP3 dot-stuffing in place from the first `size` bytes of `text`,
// stopping at the end line "."; returns the new length.
size_t RemoveDotStuffing(char* text, size_t size);

}  // namespace velnora
