#include "engine/compose/compose.h"

#include <new>
#include <random>

#include "config/account_settings.h"
#include "config/common_settings.h"
#include "engine/compose/compose_address_lines.h"
#include "engine/compose/compose_addresses.h"
#include "engine/compose/compose_body.h"
#include "engine/compose/compose_content.h"
#include "engine/compose/compose_header_text.h"
#include "engine/compose/compose_hooks.h"
#include "engine/compose/compose_part_file.h"
#include "engine/compose/compose_resent.h"
#include "engine/compose/phone_parts.h"
#include "engine/context.h"
#include "engine/compose/mail_date.h"
#include "engine/message/mail_message.h"
#include "engine/compose/subject_line.h"
#include "engine/compose/subject_number.h"
#include "platform/files.h"
#include "transport/field_text.h"

namespace velnora {
namespace {

constexpr std::size_t kMaxSenderSuffixAddress = 255;

// What every part of one message shares.
struct MessageFacts {
  std::string fromLine;  // unfolded, so the From line written is unfolded too
  bool senderReplaced = false;
  std::string senderSuffix;
  bool found8bit = false;
};

std::string EnvelopeLine(const MessageFacts& facts) {
  if (facts.fromLine.empty()) return "unknown_sender\r\n";
  return ExtractEnvelopeAddress(facts.fromLine) + "\r\n";
}

std::string SenderSuffix(const ComposeInput& in, const MailMessage& message,
                         const MessageFacts& facts) {
  if (!in.extra.replaceFromOn || !in.extra.appendSenderToSubject || !message.fromOnReplaceList ||
      facts.fromLine.empty()) {
    return {};
  }
  // Unfolded: a cut inside a line end would break the Subject line.
  std::string address = RemoveCrLf(StripAddressInfo(AfterHeaderName(facts.fromLine), kKeepValue));
  address.erase(0, address.find_first_not_of(' '));
  if (address.size() > kMaxSenderSuffixAddress) address.resize(kMaxSenderSuffixAddress);
  return " (From: " + address + ")";
}

// Header lines 1 to 21 of one part, in their order.
std::string PartHeader(const ComposeInput& in, const MailMessage& message,
                       const MessageFacts& facts, int partNumber) {
  const AccountSettings& account = in.account;
  std::string out = EnvelopeLine(facts);
  if (account.sendReceivedHeaders) {
    for (std::string_view line : message.received) out += HeaderLine(line);
  }
  if (account.addErrorsTo) out += "Errors-To: " + std::string(FieldText(account.myAddress)) + "\r\n";
  out += ToLine(message, account);
  out += OriginatorLines(message, account, {facts.fromLine, facts.senderReplaced});
  out += CcLine(message, account);
  out += DateLines(message, account, message.fromOnReplaceList != 0, in.stamps);
  for (std::string_view line : {message.inReplyTo, message.xMsmailPriority, message.priority,
                                message.xPriority, message.importance, message.mimeVersion}) {
    out += HeaderLine(line);
  }
  if (!account.dropReferencesHeader) out += HeaderLine(message.references);
  if (account.sendXHeaders) {
    for (std::string_view line : message.xHeaders) out += HeaderLine(line);
  }
  if (!account.dropMessageIdHeader) out += HeaderLine(message.messageId);
  out += ResentLines(account, message.fromOnReplaceList != 0, in.stamps);
  out += BuildSubjectLine(message, account, in.common, in.convert, partNumber, facts.senderSuffix);
  out += ContentTypeLines(message, account);
  out += TransferEncodingLine(message, account, facts.found8bit);
  out += MailerLines(message, account, in.common, in.convert);
  out += "\r\n";
  return out;
}

void RemoveParts(const ComposeInput& in, int count) {
  for (int n = 0; n < count; ++n) platform::RemoveFile(PartPathIn(in.tempFolder, n));
}

int Compose(ComposeInput& in, MailMessage& message) {
  AccountSettings& account = in.account;
  message.partNumber = 0;
  const bool phone = account.phoneMode != 0;
  AdvanceMailNumber(account);

  MessageFacts facts;
  facts.fromLine = RemoveCrLf(WithoutLineEnd(message.from));
  message.fromOnReplaceList = static_cast<int16_t>(
      in.extra.replaceFromOn && MatchesFromReplaceList(facts.fromLine, FieldText(in.extra.replaceFromList)));
  if (message.fromOnReplaceList && message.resultCode != Category::RemoteAnswered) {
    message.resultCode = Category::SenderReplaced;
  }
  facts.senderReplaced = account.fromIsMe || message.fromOnReplaceList;
  facts.senderSuffix = SenderSuffix(in, message, facts);

  std::optional<std::string> statusReport;
  if (message.resultCode == Category::RemoteAnswered && in.common.remoteControl &&
      in.common.remoteStatusReport) {
    statusReport = RemoteStatusReport(message, in.settings);
  }

  std::vector<std::string> files;
  if (phone) {
    files = FeaturePhoneFiles(message, account, in.convert, statusReport,
                              [&](int part) { return PartHeader(in, message, facts, part); });
  } else {
    std::string body = OrdinaryBody(message, account, in.convert, statusReport);
    if (!statusReport && HasHighBitByte(body)) {
      facts.found8bit = true;
      message.bodyEncoding = transfer::k8bit;
    }
    files.push_back(PartHeader(in, message, facts, 0) + body);
  }

  for (std::size_t n = 0; n < files.size(); ++n) {
    const int part = static_cast<int>(n);
    if (!WritePartFile(PartPathIn(in.tempFolder, part), files[n])) {
      RemoveParts(in, part);
      return 0;
    }
  }
  message.partNumber = static_cast<int16_t>(files.size());
  return 1;
}

}  // namespace

int ComposeSentMail(ComposeInput& input, MailMessage& message) {
  try {
    return Compose(input, message);
  } catch (const std::bad_alloc&) {
    message.partNumber = 0;
    return 0;
  }
}

ComposeStamps CurrentStamps() {
  static thread_local std::mt19937 generator{std::random_device{}()};
  ComposeStamps stamps;
  stamps.resentDate = FormatMailDate(kMailDateLocal);
  stamps.compactStamp = FormatMailDate(kMailDateCompact);
  stamps.randomTag = static_cast<uint16_t>(generator() & 0xFFFF);
  return stamps;
}

int CreateSentMailFile(Context& ctx, MailMessage& message, int accountIndex, int /*flags*/,
                       int /*mode*/) {
  if (!ctx.settings || accountIndex < 0 || accountIndex >= kAccountCount) {
    message.partNumber = 0;
    return 0;
  }
  const ConvertOptions convert = ctx.ConvertFor(accountIndex);
  ComposeInput input{ctx.account(accountIndex), ctx.extra(accountIndex), ctx.common(),
                     convert,                   ctx.TempFolderFor(accountIndex), ctx.log.get(),
                     CurrentStamps(),           ctx.settings.get()};
  return ComposeSentMail(input, message);
}

}  // namespace velnora
