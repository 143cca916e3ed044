// Drives a received message through the loader, ParseMailContent and the
// filter stage: the input is the RETR response as the POP3 client stores
// it, the first four bytes choose the account's filter switches. Every
// header field must lie inside the header part, the body inside the buffer,
// and every header accessor the filters use must stay within its line.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "config/settings_image.h"
#include "convert/convert_options.h"
#include "engine/filter/filter_conditions.h"
#include "engine/filter/filter_content.h"
#include "engine/filter/filter_header_text.h"
#include "engine/message/header_parse.h"
#include "engine/filter/mail_filter.h"
#include "engine/message/mail_message.h"
#include "engine/message/message_load.h"
#include "engine/filter/returned_mail.h"
#include "engine/compose/sender_info.h"
#include "engine/filter/spam_check.h"
#include "fuzz_message_scene.h"
#include "fuzz_quiet.h"
#include "fuzz_support.h"
#include "report/activity_log.h"
#include "report/reporter.h"

namespace {

using namespace velnora;

using fuzz::SetText;

using Scene = fuzz::MessageScene;

Scene& TheScene() {
  static Scene scene;
  return scene;
}

int16_t Flag(uint32_t switches, int n) { return int16_t((switches >> n) & 1); }

void ConfigureAccount(AccountSettings& a, uint32_t switches) {
  a = AccountSettings{};
  SetText(a.accountName, "fuzz");
  SetText(a.myAddress, "me@velnora.test");
  SetText(a.forwardTo, "dest@velnora.test other@velnora.test");
  SetText(a.filterFrom, "alice example.com ?iso-2022-jp? x");
  SetText(a.filterTo, "me@velnora.test undisclosed");
  SetText(a.filterCc, "bob");
  SetText(a.filterSubject, "\x83\x41 sale re: =?");  // "ア" in code page 932
  SetText(a.filterMailer, "Mailer Outlook");
  SetText(a.filterDate, "+0900 GMT");
  SetText(a.filterContentType, "iso-2022-jp utf-8 shift_jis");
  SetText(a.alwaysForwardFrom, "boss@velnora.test");
  // The fields are packed (odd addresses): assigned one by one, never bound.
  a.filterFromOn = Flag(switches, 0);
  a.filterToOn = Flag(switches, 1);
  a.filterCcOn = Flag(switches, 2);
  a.filterSubjectOn = Flag(switches, 3);
  a.filterMailerOn = Flag(switches, 4);
  a.filterDateOn = Flag(switches, 5);
  a.filterContentTypeOn = Flag(switches, 6);
  a.filterFromAll = Flag(switches, 7);
  a.filterSubjectAll = Flag(switches, 8);
  a.filterMailerUserAgent = Flag(switches, 9);
  a.filterSubjectCharset = Flag(switches, 10);
  a.noForwardFromDest = Flag(switches, 11);
  a.noForwardFromMe = Flag(switches, 12);
  a.forwardSmtpErrorMails = Flag(switches, 13);
  a.forwardReadReceipts = Flag(switches, 14);
  a.alwaysForwardFromOn = Flag(switches, 15);
  a.onlyWithAttachments = Flag(switches, 16);
  a.spamNoTo = Flag(switches, 17);
  a.spamNoDate = Flag(switches, 18);
  a.spamNoFrom = Flag(switches, 19);
  a.spamNoMessageId = Flag(switches, 20);
  a.spamNoSubject = Flag(switches, 21);
  a.spamNotToMe = Flag(switches, 22);
  a.spamOnlyMeInFromTo = Flag(switches, 23);
  a.spamNoContentType = Flag(switches, 24);
  a.spamNoMimeVersion = Flag(switches, 25);
  a.phoneMode = Flag(switches, 26);
  // Single-part HTML becomes text, kept beside the received buffer.
  a.partProcessing = Flag(switches, 27);
  a.htmlToText = Flag(switches, 27);
  a.extractLinks = Flag(switches, 27);
  a.filterMode = int16_t((switches >> 28) & 3);
  a.htmlUseUtf8 = Flag(switches, 30);
  a.htmlBase64 = Flag(switches, 31);
}

bool Inside(std::string_view part, const char* begin, std::size_t size) {
  return part.empty() || (part.data() >= begin && part.data() + part.size() <= begin + size);
}

void CheckParsed(const MailMessage& m) {
  const char* text = m.text();
  FUZZ_CHECK(m.headerLength <= m.textLength);
  for (std::string_view field :
       {m.subject, m.from, m.cc, m.to, m.replyTo, m.mimeVersion, m.contentType,
        m.contentTransferEncoding, m.contentDisposition, m.messageId, m.date, m.sender,
        m.inReplyTo, m.references, m.xPriority, m.xMsmailPriority, m.priority, m.importance,
        m.xMailer, m.readReceiptTo, m.userAgent}) {
    FUZZ_CHECK(Inside(field, text, m.headerLength));
    const std::string_view value = HeaderValue(field);
    FUZZ_CHECK(Inside(value, field.data(), field.size()));
    for (std::size_t limit : {std::size_t(0), std::size_t(7), kMaxFilteredSubjectLine}) {
      DecodedHeaderValue(field, limit);
    }
  }
  FUZZ_CHECK(m.received.size() <= kMaxReceivedLines);
  FUZZ_CHECK(m.xHeaders.size() <= kMaxXHeaders);
  for (std::string_view line : m.received) FUZZ_CHECK(Inside(line, text, m.headerLength));
  for (std::string_view line : m.xHeaders) FUZZ_CHECK(Inside(line, text, m.headerLength));
  if (m.body) {
    FUZZ_CHECK(m.body >= text && m.body + m.bodyCapacity <= text + m.buffer.size());
    const std::string_view body = m.Body();
    FUZZ_CHECK(Inside(body, m.body, m.bodyCapacity));
  }
  FUZZ_CHECK(Inside(m.Header(), text, m.buffer.size()));
}

void RunFilters(Scene& scene, MailMessage& m) {
  const AccountSettings& account = scene.settings->accounts[0];
  for (const FilterCondition& condition : FilterConditions()) condition.test(m, account);
  SpamCheck(m, account);
  IsReadReceipt(m);
  AlwaysForward(m, account);
  ForwardReadReceipt(m, account);
  Filter_ReturnedMail(m, account);
  Filter_Address_Bounce(m, account);
  Filter_Address_Bounce_FromMe(m, account);
  PassesFilterMode(m, account);
  ClassifyContent(m, account);
  for (bool kana : {false, true}) {
    const ConvertOptions options{kana};
    SenderInfoLine(m, account, 0, CharsetCode(m.contentCharset), options);
    SubjectInfoLine(m, account, 0, options);
  }

  // The whole filter stage, as the forwarding pass calls it.
  platform::CalendarTime now;
  now.year = 2026;
  now.month = 12;
  now.day = 8;
  now.weekday = 2;
  now.hour = 19;
  FilterScope scope{*scene.settings, *scene.log, now, nullptr};
  MailFilterProc(scope, m, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size < 4) return 0;
  Scene& scene = TheScene();
  uint32_t switches = 0;
  std::memcpy(&switches, bytes, 4);
  ConfigureAccount(scene.settings->accounts[0], switches);

  scene.WriteMessage(bytes + 4, size - 4);
  MailMessage message;
  if (LoadMessageFile(scene.messagePath, message, *scene.log, scene.settings->accounts[0]) !=
      LoadStatus::Loaded) {
    return 0;
  }
  FUZZ_CHECK(message.textLength <= size - 4);
  FUZZ_CHECK(message.text()[message.textLength] == '\0');
  ParseMailContent(message);
  CheckParsed(message);
  RunFilters(scene, message);
  // The conversion leaves the received buffer and its header views alone.
  CheckParsed(message);
  return 0;
}
