// All part files of one message over one session, to the same destination.
#include <cstdio>
#include <functional>
#include <string>

#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "transport/account_session.h"
#include "transport/field_text.h"
#include "transport/smtp/smtp_client.h"
#include "transport/smtp/smtp_command.h"
#include "transport/smtp/smtp_destinations.h"

namespace velnora {
namespace {

bool ReadWholeFile(const std::string& path, std::string& content) {
  platform::FilePtr file = platform::OpenFile(path, "rb");
  if (!file) return false;
  content.clear();
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) content.append(buffer, n);
  return !std::ferror(file.get());
}

// The pause between the parts of a feature-phone message; false when the
// worker is asked to stop meanwhile.
bool PartDelay(TransportEnv& env, const AccountSettings& account) {
  return CountSeconds(env, account, account.phoneSplitDelaySec, StatusIcon::Sending,
                      [](int second, int total) {
                        return SJIS(u8" 送信待ち... (") + std::to_string(second) + "/" +
                               std::to_string(total) + "sec) ";
                      });
}

}  // namespace

SendResult SendSplitParts(TransportEnv& env, AccountSettings& account, MailSession& session,
                   int partNumber, const std::function<void()>& allAccepted) {
  const auto destinations = SplitDestinations(FieldText(account.forwardTo));
  account.apportionCount = static_cast<int16_t>(destinations.size());
  if (destinations.empty()) {
    // Nothing went anywhere: the message is not forwarded and stays.
    env.log.AddActivity(SJIS(u8"転送先アドレスがないため、メールを転送できませんでした。"), Category::ServerNotice, &account);
    return SendResult::RetryNow;
  }

  Apportion apportion{account.apportion != 0, account.apportionCount, account.apportionNext};
  AdvanceApportion(apportion);
  account.apportionNext = static_cast<int16_t>(apportion.next);

  const bool phoneSplit = account.phoneMode && account.phoneSplit;
  const bool reverse = phoneSplit && account.phoneReverseOrder;
  std::string text;
  for (int j = 0; j < partNumber; ++j) {
    const int part = reverse ? partNumber - 1 - j : j;
    const std::string path = PartFilePath(env.tempFolder, part);
    // The composition writes every part: one that is gone or empty (or
    // cannot be read) was not forwarded, and the message stays for the next
    // check rather than being counted as sent.
    if (platform::FileSize(path) <= 0 || !ReadWholeFile(path, text)) {
      env.log.AddActivity(SJIS(u8"送信するファイルがありません。このメールは次回のチェックで再度処理します。"), Category::ServerNotice, &account);
      return SendResult::RetryNow;
    }
    const SendResult result = SendMessageText(env, account, session, text);
    if (result != SendResult::Sent) return result;
    text.clear();
    platform::RemoveFile(path);
    const bool last = j + 1 == partNumber;
    // Every part has its 250: the message is forwarded, whatever follows.
    if (last && allAccepted) allAccepted();
    if (phoneSplit && account.phoneSplitDelay && !PartDelay(env, account) && !last) {
      return SendResult::RetryNow;
    }
  }
  return SendResult::Sent;
}

}  // namespace velnora
