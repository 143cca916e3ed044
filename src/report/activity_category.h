// The category of an activity row, which is also the outcome of a message,
// and the status-bar icons. The numbers are written to the forwarding log
// and pick the row's icon, so they never change.
#pragma once

namespace velnora {

enum class Category : int {
  Forwarded = 0,                    // forwarded as it was
  NotForwarded = 1,                 // stopped by another condition (returned mail, ...)
  ForwardedWithoutAttachments = 2,
  Information = 3,
  ServerNotice = 4,                 // from the mail server or from Velnora: errors, notices
  Duplicate = 5,
  Spam = 6,
  ForwardedToPhone = 7,
  CharsetFiltered = 8,
  FromFiltered = 9,
  ToFiltered = 10,
  CcFiltered = 11,
  SubjectFiltered = 12,
  MailerFiltered = 13,
  TimeZoneFiltered = 14,
  SizeFiltered = 15,
  NoMatchingCondition = 16,
  ScheduleFiltered = 17,
  RemoteNotAnswered = 18,           // remote command taken, its answer switched off
  RemoteAnswered = 19,              // remote command taken and answered
  ServerReply = 20,                 // the text of a server's error reply
  Refused550 = 21,                  // refused for good by the SMTP server
  Refused552 = 22,
  SpamDeleted = 23,
  SenderReplaced = 25,              // forwarded with the sender on the replacement list
  NotHandled = 99,                  // no outcome yet: the message stays new
};

constexpr int CategoryNumber(Category category) { return static_cast<int>(category); }

// Image of the status bar; Keep leaves the image as it is.
enum class StatusIcon : int {
  Idle = 0,
  Started = 1,
  Sending = 2,
  Receiving = 3,
  Waiting = 4,
  Error = 5,
  Connecting = 6,  // also: logging in, deleting
  Dialing = 7,
  Keep = 99,
};

}  // namespace velnora
