// The field descriptions of the three settings records, in record and offset
// order. Limits are what a stored value must keep: the dialog's clamps and the
// load repairs are written as ranges here, and no range lets a value through
// that the next load would change or that the field's width cannot hold.
#include "config/field_table.h"

#include <cstddef>

#include "config/account_settings.h"
#include "config/common_settings.h"

namespace velnora {
namespace {

constexpr int64_t kInt32Min = -2147483648LL;
constexpr int64_t kInt32Max = 2147483647LL;

// Elements of an array field; a text or a number is one element.
constexpr uint16_t ElementCount(FieldType type, std::size_t size) {
  switch (type) {
    case FieldType::Int16Array: return static_cast<uint16_t>(size / 2);
    case FieldType::Int32Array: return static_cast<uint16_t>(size / 4);
    default: return 1;
  }
}

// A row names the record member it describes: name, offset and width come
// from the member itself, so the table cannot drift from the record layout
// (which the records' static_asserts pin to the file).
#define VELNORA_FIELD(Record, kind, member, type, page, ...)                                    \
  FieldInfo {                                                                                   \
    #member, SettingsRecord::kind, offsetof(Record, member), FieldType::type,                   \
        sizeof(Record::member), ElementCount(FieldType::type, sizeof(Record::member)),          \
        SettingsPage::page, __VA_ARGS__                                                         \
  }
#define COMMON(...) VELNORA_FIELD(CommonSettings, Common, __VA_ARGS__)
#define ACCOUNT(...) VELNORA_FIELD(AccountSettings, Account, __VA_ARGS__)
#define EXTRA(...) VELNORA_FIELD(AccountExtraSettings, Extra, __VA_ARGS__)
// The two commonest rows: a 16-bit check box (0 or 1, no store rule) and
// bytes no field uses.
#define FLAG(record, member, page, defaultValue) \
  record(member, Flag16, page, defaultValue, "", 0, 1, 0, kRuleNone, "")
#define UNUSED(record, member) record(member, Unused, Unused, 0, "", 0, 0, 0, kReadOnly, "")

// Record(member, type, page, default, default text, min, max (texts: edit
// limit), entry limit, rules, related field).
constexpr FieldInfo kFields[] = {
    COMMON(magic, Text, Identification, 0, "VEL_NORA4_SP4", 0, 15, 0, kReadOnly, ""),
    COMMON(logColumnWidths, Int16Array, Geometry, 0, "100,100,120,250,120,120", 1, 32767, 0, kRuleNone, ""),
    COMMON(windowWidth, Int16, Geometry, 825, "", -32768, 32767, 0, kComputedDefault, ""),
    COMMON(windowHeight, Int16, Geometry, 415, "", -32768, 32767, 0, kComputedDefault, ""),
    COMMON(windowLeft, Int16, Geometry, 0, "", -32768, 32767, 0, kComputedDefault, ""),
    COMMON(windowTop, Int16, Geometry, 0, "", -32768, 32767, 0, kComputedDefault, ""),
    FLAG(COMMON, autoConnect, Common, 0),
    FLAG(COMMON, preventDuplicates, Common, 1),
    FLAG(COMMON, sessionLog, Common, 0),
    FLAG(COMMON, duplicateCheckAllAccounts, Common, 0),
    COMMON(parallelAccounts, Int16, Common, 0, "", 0, 32, 0, kRuleNone, ""),
    FLAG(COMMON, trayAfterConnect, Common, 0),
    FLAG(COMMON, requirePassword, Common, 0),
    COMMON(startupPassword, Text, Common, 0, "", 0, 10, 0, kRuleNone, ""),
    FLAG(COMMON, trimHistory, Common, 1),
    COMMON(historyLimit, Int32, Common, 4000, "", 0, kInt32Max, 0, kRuleNone, ""),
    UNUSED(COMMON, unused68),
    FLAG(COMMON, deleteAllOnQuit, Common, 0),
    FLAG(COMMON, deleteAllImmediately, Common, 0),
    COMMON(reserved74, Reserved, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    FLAG(COMMON, autoDial, Common, 0),
    FLAG(COMMON, customTimeout, Common, 0),
    COMMON(timeoutSec, Int32, Common, 60, "", 0, kInt32Max, 0, kRuleNone, ""),
    UNUSED(COMMON, unused84),
    FLAG(COMMON, noHistoryForDuplicates, Common, 0),
    FLAG(COMMON, confirmQuit, Common, 0),
    FLAG(COMMON, restartStuckWorker, Common, 1),
    COMMON(stuckWorkerMinutes, Int32, Common, 30, "", 10, kInt32Max, 0, kRuleNone, ""),
    FLAG(COMMON, reloadSettingsEachCheck, Common, 0),
    FLAG(COMMON, tempInCurrentFolder, Common, 0),
    FLAG(COMMON, limitFetch, Common, 0),
    COMMON(fetchLimit, Int16, Common, 0, "", 1, 32767, 0, kRuleNone, ""),
    FLAG(COMMON, remoteControl, Common, 0),
    COMMON(remotePassword, Text, Common, 0, "", 0, 8, 0, kClearsSwitch, "remoteControl"),
    FLAG(COMMON, remoteStatusReport, Common, 0),
    FLAG(COMMON, noHistoryForErrors, Common, 0),
    COMMON(maxHeldMails, Uint16, Common, 10000, "", 1000, 50000, 0, kReadOnly, ""),
    COMMON(maxHeldMailsNext, Uint16, Common, 10000, "", 1000, 50000, 0, kRuleNone, ""),
    COMMON(reserved124, Reserved, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    COMMON(reserved252, Reserved, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    FLAG(COMMON, autoScroll, Common, 1),
    FLAG(COMMON, templateSkipAccountTab, Common, 0),
    COMMON(autoConnectDelaySec, Int16, Common, 5, "", 1, 60, 0, kRuleNone, ""),
    FLAG(COMMON, noUpdateInfo, Common, 1),
    COMMON(developerOptions, Text, Common, 0, "", 0, 63, 0, kRuleNone, ""),
    COMMON(accountColumnWidths, Int16Array, Geometry, 0, "25,125,50,50,50,50,50,110,150,50", -32768, 32767, 0, kReadOnly, ""),
    COMMON(viewMode, Int16, Geometry, 0, "", 0, 3, 0, kRuleNone, ""),
    COMMON(accountPaneWidth, Int16, Geometry, 360, "", 30, 32767, 0, kRuleNone, ""),
    FLAG(COMMON, keepForwardingOverLimit, Common, 0),
    UNUSED(COMMON, unused478),
    ACCOUNT(smtpServer, Text, Server, 0, "", 0, 255, 0, kRuleNone, ""),
    FLAG(ACCOUNT, smtpAuth, Server, 0),
    ACCOUNT(smtpAuthPassword, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    ACCOUNT(smtpAuthUser, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    ACCOUNT(myAddress, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    ACCOUNT(forwardTo, Text, Server, 0, "", 0, 4095, 100, static_cast<uint16_t>(kWordList | kMultiLine), ""),
    ACCOUNT(popServer, Text, Server, 0, "", 0, 255, 0, kRuleNone, ""),
    ACCOUNT(popUser, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    ACCOUNT(popPassword, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    ACCOUNT(enabled, Flag8, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(accountName, Text, Server, 0, "", 0, 253, 0, kRuleNone, ""),
    UNUSED(ACCOUNT, unused5377),
    FLAG(ACCOUNT, phoneMode, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneAddSenderName, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneAddSubject, FeaturePhone, 0),
    UNUSED(ACCOUNT, unused5387),
    FLAG(ACCOUNT, phoneRemoveCitations, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneKeepFirstCitation, FeaturePhone, 0),
    ACCOUNT(phoneCitationPrefixes, Text, FeaturePhone, 0, "> |", 0, 1023, 0, kRuleNone, ""),
    ACCOUNT(phoneCutOriginalMessage, Flag32, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneCutOriginalLines, Int16, FeaturePhone, 0, "", 0, 32767, 0, kRuleNone, ""),
    FLAG(ACCOUNT, phoneRemoveSpaces, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneRemoveWideSpaces, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneRemoveBlankLines, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneRemoveTabs, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneNoRemovedFileInfo, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneRemoveRepeats, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneSplit, FeaturePhone, 0),
    ACCOUNT(phoneSplitBytes, Int16, FeaturePhone, 360, "", 1, 32767, 0, kRuleNone, ""),
    ACCOUNT(phoneSplitMaxMails, Int16, FeaturePhone, 4, "", 1, 32767, 0, kRuleNone, ""),
    UNUSED(ACCOUNT, unused6441),
    FLAG(ACCOUNT, phoneAllow8bit, FeaturePhone, 0),
    UNUSED(ACCOUNT, unused7469),
    FLAG(ACCOUNT, phoneNumberSubjects, FeaturePhone, 0),
    UNUSED(ACCOUNT, unused7473),
    FLAG(ACCOUNT, phoneInsertLineBreaks, FeaturePhone, 0),
    ACCOUNT(phoneLineBreakBytes, Int16, FeaturePhone, 40, "", 4, 120, 0, kRuleNone, ""),
    FLAG(ACCOUNT, phoneSplitDelay, FeaturePhone, 0),
    ACCOUNT(phoneSplitDelaySec, Int16, FeaturePhone, 10, "", 1, 60, 0, kRuleNone, ""),
    ACCOUNT(phoneCutWord, Text, FeaturePhone, 0, "", 0, 255, 0, kClearsSwitch, "phoneCutAtWord"),
    ACCOUNT(phoneCutWordLines, Int16, FeaturePhone, 0, "", -32768, 32767, 0, kRuleNone, ""),
    FLAG(ACCOUNT, phoneCutAtWord, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneReverseOrder, FeaturePhone, 0),
    ACCOUNT(phoneCutFirstSubject, Flag16, FeaturePhone, 0, "", 0, 1, 0, kInverted, ""),
    ACCOUNT(phoneSubjectBytes, Int16, FeaturePhone, 16, "", 4, 32, 0, kRuleNone, ""),
    FLAG(ACCOUNT, phoneEndMarks, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneBodyInSubject, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneSplitAnywhere, FeaturePhone, 1),
    FLAG(ACCOUNT, phoneCompactWords, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneConvertBody, FeaturePhone, 1),
    FLAG(ACCOUNT, phoneConvertLinefeed, FeaturePhone, 0),
    ACCOUNT(phoneKeepReFw, Flag16, FeaturePhone, 1, "", 0, 1, 0, kInverted, ""),
    FLAG(ACCOUNT, phoneConvertSubject, FeaturePhone, 1),
    FLAG(ACCOUNT, phoneCountFrom, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneCountSubject, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneCountReplyTo, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneNoCountLf, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneUtf8, FeaturePhone, 0),
    FLAG(ACCOUNT, phoneReplaceDeviceChars, FeaturePhone, 0),
    ACCOUNT(lastCheckTime, Text, Runtime, 0, "N/A", 0, 19, 0, kReadOnly, ""),
    UNUSED(ACCOUNT, unused7797),
    ACCOUNT(popPort, Int16, Server, 110, "", 0, 65535, 0, kPortNumber, ""),
    ACCOUNT(smtpPort, Int16, Server, 25, "", 0, 65535, 0, kPortNumber, ""),
    ACCOUNT(pollInterval, Int16, Server, 10, "", 1, 1440, 0, kRuleNone, ""),
    FLAG(ACCOUNT, partProcessing, PartProcessing, 0),
    ACCOUNT(oversizeStripAttachments, Flag16, PartProcessing, 1, "", 0, 1, 0, kExclusive, "oversizeDrop"),
    ACCOUNT(oversizeDrop, Flag16, PartProcessing, 0, "", 0, 1, 0, kExclusive, "oversizeStripAttachments"),
    FLAG(ACCOUNT, filterFromOn, Filters, 0),
    FLAG(ACCOUNT, filterToOn, Filters, 0),
    FLAG(ACCOUNT, filterCcOn, Filters, 0),
    ACCOUNT(oversizeKb, Int32, PartProcessing, 0, "", 0, kInt32Max, 0, kRuleNone, ""),
    ACCOUNT(filterFrom, Text, Filters, 0, "", 0, 4095, 400, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterFromOn"),
    ACCOUNT(filterTo, Text, Filters, 0, "", 0, 4095, 400, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterToOn"),
    ACCOUNT(filterCc, Text, Filters, 0, "", 0, 4095, 400, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterCcOn"),
    FLAG(ACCOUNT, preferHtmlPart, PartProcessing, 0),
    UNUSED(ACCOUNT, unused20297),
    FLAG(ACCOUNT, reversePopOrder, Advanced, 0),
    FLAG(ACCOUNT, fromIsMe, Advanced, 0),
    FLAG(ACCOUNT, filterSubjectOn, Filters, 0),
    FLAG(ACCOUNT, filterMailerOn, Filters, 0),
    FLAG(ACCOUNT, filterDateOn, Filters, 0),
    FLAG(ACCOUNT, filterContentTypeOn, Filters, 0),
    ACCOUNT(filterSubject, Text, Filters, 0, "", 0, 4095, 400, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterSubjectOn"),
    ACCOUNT(filterMailer, Text, Filters, 0, "", 0, 4095, 0, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterMailerOn"),
    ACCOUNT(filterDate, Text, Filters, 0, "", 0, 4095, 0, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterDateOn"),
    ACCOUNT(filterContentType, Text, Filters, 0, "", 0, 4095, 0, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterContentTypeOn"),
    FLAG(ACCOUNT, noForwardFromDest, Antispam, 0),
    FLAG(ACCOUNT, addMyDomain, Advanced, 0),
    FLAG(ACCOUNT, phoneShortenSubject, FeaturePhone, 0),
    FLAG(ACCOUNT, skipRemainingAtStartup, Advanced, 0),
    ACCOUNT(filterMode, Int16, Filters, 0, "", 0, 3, 0, kRuleNone, ""),
    FLAG(ACCOUNT, deleteAfterForward, Server, 0),
    ACCOUNT(deleteIncludingFiltered, Flag16, Server, 0, "", 0, 1, 0, kExclusive, "spamEraser"),
    FLAG(ACCOUNT, dropMessageIdHeader, Advanced, 0),
    FLAG(ACCOUNT, dropDateHeader, Advanced, 0),
    FLAG(ACCOUNT, addResentHeaders, Advanced, 1),
    FLAG(ACCOUNT, forwardSmtpErrorMails, Advanced, 0),
    UNUSED(ACCOUNT, unused36725),
    FLAG(ACCOUNT, dropFromHeader, Advanced, 0),
    FLAG(ACCOUNT, spamNoTo, Antispam, 0),
    FLAG(ACCOUNT, toIsFirstDest, Advanced, 0),
    FLAG(ACCOUNT, useApop, Server, 0),
    ACCOUNT(noUidlActive, Flag16, Runtime, 0, "", 0, 1, 0, kReadOnly, ""),
    ACCOUNT(noUidl, Flag16, Advanced, 0, "", 0, 1, 0, kCopiesTo, "noUidlActive"),
    FLAG(ACCOUNT, useSchedule, Schedule, 0),
    ACCOUNT(scheduleStops, Int32Array, Schedule, 0, "", 0, 16777215, 0, kRuleNone, ""),
    FLAG(ACCOUNT, scheduleDropArrivals, Schedule, 0),
    FLAG(ACCOUNT, convertAllHtmlParts, Advanced, 0),
    FLAG(ACCOUNT, nonBlocking, Advanced, 1),
    ACCOUNT(mailNumber, Int16, Runtime, 0, "", -32768, 32767, 0, kReadOnly, ""),
    FLAG(ACCOUNT, dropSenderHeader, Advanced, 0),
    FLAG(ACCOUNT, dropReplyToHeader, Advanced, 0),
    FLAG(ACCOUNT, dropToHeader, Advanced, 0),
    FLAG(ACCOUNT, dropCcHeader, Advanced, 0),
    FLAG(ACCOUNT, mailFromIsSender, Advanced, 0),
    FLAG(ACCOUNT, sendReceivedHeaders, Advanced, 0),
    FLAG(ACCOUNT, sendXMailer, Advanced, 0),
    FLAG(ACCOUNT, useSeparateSmtp, Server, 0),
    ACCOUNT(separateSmtpSender, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    FLAG(ACCOUNT, popBeforeSmtp, Server, 0),
    ACCOUNT(pbsUser, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    ACCOUNT(pbsPassword, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    FLAG(ACCOUNT, pbsApop, Server, 0),
    ACCOUNT(pbsServer, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    ACCOUNT(pbsPort, Int16, Server, 110, "", 0, 65535, 0, kPortNumber, ""),
    FLAG(ACCOUNT, popDelayOn, Server, 0),
    FLAG(ACCOUNT, ccAllDests, Advanced, 0),
    FLAG(ACCOUNT, keepExtensionsOn, PartProcessing, 0),
    ACCOUNT(keepExtensions, Text, PartProcessing, 0, "", 0, 62, 0, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "keepExtensionsOn"),
    FLAG(ACCOUNT, subjectPrefixOn, Advanced, 0),
    ACCOUNT(subjectPrefix, Text, Advanced, 0, "", 0, 15, 0, kAsciiOnly, ""),
    FLAG(ACCOUNT, noForwardFromMe, Antispam, 0),
    FLAG(ACCOUNT, senderIsFrom, Advanced, 0),
    FLAG(ACCOUNT, sendXHeaders, Advanced, 0),
    ACCOUNT(popDelaySec, Int16, Server, 0, "", 5, 3600, 0, kRuleNone, ""),
    FLAG(ACCOUNT, spamNoDate, Antispam, 0),
    FLAG(ACCOUNT, spamNoFrom, Antispam, 0),
    FLAG(ACCOUNT, spamNoCc, Antispam, 0),
    FLAG(ACCOUNT, spamNoMessageId, Antispam, 0),
    FLAG(ACCOUNT, spamNoReplyTo, Antispam, 0),
    FLAG(ACCOUNT, spamNoXMailer, Antispam, 0),
    FLAG(ACCOUNT, spamNoContentType, Antispam, 0),
    FLAG(ACCOUNT, spamNoMimeVersion, Antispam, 0),
    FLAG(ACCOUNT, spamNoSubject, Antispam, 0),
    FLAG(ACCOUNT, spamNotToMe, Antispam, 0),
    FLAG(ACCOUNT, remoteSuspended, Server, 0),
    ACCOUNT(accountIndex, Int16, Runtime, 0, "", -32768, 32767, 0, static_cast<uint16_t>(kReadOnly | kIndexDefault), ""),
    FLAG(ACCOUNT, ignoreRemoteControl, Advanced, 0),
    UNUSED(ACCOUNT, unused37177),
    FLAG(ACCOUNT, encodeHalfwidthKana, Advanced, 1),
    FLAG(ACCOUNT, smtpDelayOn, Server, 0),
    ACCOUNT(smtpDelaySec, Int16, Server, 0, "", 1, 3600, 0, kRuleNone, ""),
    FLAG(ACCOUNT, unicodeToJis, Advanced, 0),
    FLAG(ACCOUNT, dropSubjectHeader, Advanced, 0),
    FLAG(ACCOUNT, startRemoteOff, Advanced, 0),
    FLAG(ACCOUNT, noResendOn550, Advanced, 0),
    FLAG(ACCOUNT, sendDispositionNotificationTo, Advanced, 0),
    FLAG(ACCOUNT, noDuplicateCheck, Advanced, 0),
    FLAG(ACCOUNT, noResendException1, Advanced, 0),
    FLAG(ACCOUNT, limitSubjectOn, Advanced, 0),
    ACCOUNT(limitSubjectBytes, Int16, Advanced, 0, "", 1, 254, 0, kRuleNone, ""),
    FLAG(ACCOUNT, apportion, Server, 0),
    ACCOUNT(apportionCount, Int16, Runtime, 0, "", -32768, 32767, 0, kReadOnly, ""),
    ACCOUNT(apportionNext, Int16, Runtime, 0, "", -32768, 32767, 0, kReadOnly, ""),
    ACCOUNT(spamEraser, Flag16, Server, 0, "", 0, 1, 0, kExclusive, "deleteIncludingFiltered"),
    ACCOUNT(alwaysForwardFrom, Text, Antispam, 0, "", 0, 382, 20, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "alwaysForwardFromOn"),
    FLAG(ACCOUNT, alwaysForwardFromOn, Antispam, 0),
    FLAG(ACCOUNT, noOriginalSenderInfo, Advanced, 0),
    FLAG(ACCOUNT, onlyWithAttachments, Advanced, 0),
    FLAG(ACCOUNT, popSsl, Server, 0),
    FLAG(ACCOUNT, smtpSsl, Server, 0),
    FLAG(ACCOUNT, pbsSsl, Server, 0),
    FLAG(ACCOUNT, stripAddressComments, Advanced, 0),
    FLAG(ACCOUNT, spamOnlyMeInFromTo, Antispam, 0),
    FLAG(ACCOUNT, attachmentsOnly, Advanced, 0),
    FLAG(ACCOUNT, filterSubjectCharset, Filters, 0),
    FLAG(ACCOUNT, forwardReadReceipts, Advanced, 0),
    FLAG(ACCOUNT, addErrorsTo, Advanced, 0),
    FLAG(ACCOUNT, htmlToText, PartProcessing, 0),
    FLAG(ACCOUNT, dropSplitBodies, Advanced, 0),
    FLAG(ACCOUNT, markAllForwardedNext, Server, 0),
    FLAG(ACCOUNT, noAutoCrlf, Advanced, 1),
    ACCOUNT(extractLinks, Flag16, PartProcessing, 0, "", 0, 1, 0, kSetsRelated, "noAutoCrlf"),
    FLAG(ACCOUNT, dropReferencesHeader, Advanced, 0),
    FLAG(ACCOUNT, removeOriginalSubject, Advanced, 0),
    FLAG(ACCOUNT, extractTitles, PartProcessing, 0),
    FLAG(ACCOUNT, extractImageAlt, PartProcessing, 0),
    FLAG(ACCOUNT, noRecvDelay, Advanced, 1),
    FLAG(ACCOUNT, noSendDelay, Advanced, 1),
    FLAG(ACCOUNT, htmlUseUtf8, Advanced, 1),
    FLAG(ACCOUNT, htmlBase64, Advanced, 1),
    ACCOUNT(accountNumber, Int16, Runtime, 0, "", -32768, 32767, 0, static_cast<uint16_t>(kReadOnly | kIndexDefault), ""),
    ACCOUNT(listRow, Int16, Runtime, 0, "", -32768, 32767, 0, kReadOnly, ""),
    FLAG(ACCOUNT, filterFromAll, Filters, 0),
    FLAG(ACCOUNT, filterToAll, Filters, 0),
    FLAG(ACCOUNT, filterCcAll, Filters, 0),
    FLAG(ACCOUNT, filterSubjectAll, Filters, 0),
    FLAG(ACCOUNT, filterMailerUserAgent, Filters, 0),
    FLAG(ACCOUNT, strictUtf8, Advanced, 0),
    ACCOUNT(overflowNotified, Flag16, Runtime, 0, "", 0, 1, 0, kReadOnly, ""),
    FLAG(ACCOUNT, tlsNoVerify, Server, 0),
    FLAG(ACCOUNT, smtpStartTls, Server, 0),
    FLAG(ACCOUNT, popStartTls, Server, 0),
    UNUSED(ACCOUNT, unused37669),
    EXTRA(replaceFromList, Text, Antispam, 0, "", 0, 1022, 100, static_cast<uint16_t>(kWordList | kMultiLine), ""),
    FLAG(EXTRA, replaceFromOn, Antispam, 0),
    FLAG(EXTRA, appendSenderToSubject, Antispam, 0),
    UNUSED(EXTRA, unused1028),
};

#undef UNUSED
#undef FLAG
#undef EXTRA
#undef ACCOUNT
#undef COMMON
#undef VELNORA_FIELD

// Each record's rows follow one another without gap or overlap and end at the
// record's size: a member left out of the table fails the build here.
constexpr bool TilesRecord(SettingsRecord record, std::size_t recordSize) {
  std::size_t next = 0;
  for (const FieldInfo& f : kFields) {
    if (f.record != record) continue;
    if (f.offset != next) return false;
    next = f.offset + f.size;
  }
  return next == recordSize;
}
static_assert(TilesRecord(SettingsRecord::Common, sizeof(CommonSettings)));
static_assert(TilesRecord(SettingsRecord::Account, sizeof(AccountSettings)));
static_assert(TilesRecord(SettingsRecord::Extra, sizeof(AccountExtraSettings)));

constexpr std::size_t CountOf(SettingsRecord record) {
  std::size_t n = 0;
  for (const auto& f : kFields) n += f.record == record ? 1 : 0;
  return n;
}

constexpr std::size_t kCommonCount = CountOf(SettingsRecord::Common);
constexpr std::size_t kAccountFieldCount = CountOf(SettingsRecord::Account);

}  // namespace

bool FieldInfo::IsNumber() const {
  return type != FieldType::Text && !IsFiller();
}

bool FieldInfo::IsFlag() const {
  return type == FieldType::Flag8 || type == FieldType::Flag16 || type == FieldType::Flag32;
}

std::span<const FieldInfo> AllFields() { return kFields; }

std::span<const FieldInfo> FieldsOf(SettingsRecord record) {
  std::span<const FieldInfo> all = kFields;
  switch (record) {
    case SettingsRecord::Common:
      return all.subspan(0, kCommonCount);
    case SettingsRecord::Account:
      return all.subspan(kCommonCount, kAccountFieldCount);
    case SettingsRecord::Extra:
      return all.subspan(kCommonCount + kAccountFieldCount);
  }
  return {};
}

const FieldInfo* FindField(SettingsRecord record, std::string_view name) {
  for (const auto& f : FieldsOf(record)) {
    if (f.name == name) return &f;
  }
  return nullptr;
}

std::string_view PageName(SettingsPage page) {
  switch (page) {
    case SettingsPage::Server: return "Server";
    case SettingsPage::PartProcessing: return "PartProcessing";
    case SettingsPage::Filters: return "Filters";
    case SettingsPage::Antispam: return "Antispam";
    case SettingsPage::FeaturePhone: return "FeaturePhone";
    case SettingsPage::Schedule: return "Schedule";
    case SettingsPage::Advanced: return "Advanced";
    case SettingsPage::Runtime: return "Runtime";
    case SettingsPage::Common: return "Common";
    case SettingsPage::Geometry: return "Geometry";
    case SettingsPage::Identification: return "Identification";
    case SettingsPage::Unused: return "Unused";
  }
  return "?";
}

std::string_view TypeName(FieldType type) {
  switch (type) {
    case FieldType::Flag8: return "flag8";
    case FieldType::Flag16: return "flag16";
    case FieldType::Flag32: return "flag32";
    case FieldType::Int16: return "int16";
    case FieldType::Uint16: return "uint16";
    case FieldType::Int32: return "int32";
    case FieldType::Text: return "text";
    case FieldType::Int16Array: return "int16 array";
    case FieldType::Int32Array: return "int32 array";
    case FieldType::Reserved: return "reserved";
    case FieldType::Unused: return "unused";
  }
  return "?";
}

}  // namespace velnora
