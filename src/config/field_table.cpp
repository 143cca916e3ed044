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

// Record(member, type, page, default, default text, min, max (texts: edit
// limit), entry limit, rules, related field).
constexpr FieldInfo kFields[] = {
    COMMON(magic, Text, Identification, 0, "VEL_NORA4_SP4", 0, 15, 0, kReadOnly, ""),
    COMMON(logColumnWidths, Int16Array, Geometry, 0, "100,100,120,250,120,120", 1, 32767, 0, kRuleNone, ""),
    COMMON(windowWidth, Int16, Geometry, 825, "", -32768, 32767, 0, kComputedDefault, ""),
    COMMON(windowHeight, Int16, Geometry, 415, "", -32768, 32767, 0, kComputedDefault, ""),
    COMMON(windowLeft, Int16, Geometry, 0, "", -32768, 32767, 0, kComputedDefault, ""),
    COMMON(windowTop, Int16, Geometry, 0, "", -32768, 32767, 0, kComputedDefault, ""),
    COMMON(autoConnect, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(preventDuplicates, Flag16, Common, 1, "", 0, 1, 0, kRuleNone, ""),
    COMMON(sessionLog, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(duplicateCheckAllAccounts, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(unused44, Unused, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    COMMON(trayAfterConnect, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(requirePassword, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(startupPassword, Text, Common, 0, "", 0, 10, 0, kRuleNone, ""),
    COMMON(trimHistory, Flag16, Common, 1, "", 0, 1, 0, kRuleNone, ""),
    COMMON(historyLimit, Int32, Common, 4000, "", kInt32Min, kInt32Max, 0, kRuleNone, ""),
    COMMON(unused68, Unused, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    COMMON(deleteAllOnQuit, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(deleteAllImmediately, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(reserved74, Reserved, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    COMMON(autoDial, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(customTimeout, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(timeoutSec, Int32, Common, 60, "", kInt32Min, kInt32Max, 0, kRuleNone, ""),
    COMMON(unused84, Unused, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    COMMON(noHistoryForDuplicates, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(confirmQuit, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(restartStuckWorker, Flag16, Common, 1, "", 0, 1, 0, kRuleNone, ""),
    COMMON(stuckWorkerMinutes, Int32, Common, 30, "", 10, kInt32Max, 0, kRuleNone, ""),
    COMMON(reloadSettingsEachCheck, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(tempInCurrentFolder, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(limitFetch, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(fetchLimit, Int16, Common, 0, "", 1, 32767, 0, kRuleNone, ""),
    COMMON(remoteControl, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(remotePassword, Text, Common, 0, "", 0, 8, 0, kClearsSwitch, "remoteControl"),
    COMMON(remoteStatusReport, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(noHistoryForErrors, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(maxHeldMails, Uint16, Common, 10000, "", 1000, 50000, 0, kReadOnly, ""),
    COMMON(maxHeldMailsNext, Uint16, Common, 10000, "", 1000, 50000, 0, kRuleNone, ""),
    COMMON(reserved124, Reserved, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    COMMON(reserved252, Reserved, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    COMMON(autoScroll, Flag16, Common, 1, "", 0, 1, 0, kRuleNone, ""),
    COMMON(templateSkipAccountTab, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(autoConnectDelaySec, Int16, Common, 5, "", 1, 60, 0, kRuleNone, ""),
    COMMON(noUpdateInfo, Flag16, Common, 1, "", 0, 1, 0, kRuleNone, ""),
    COMMON(developerOptions, Text, Common, 0, "", 0, 63, 0, kRuleNone, ""),
    COMMON(accountColumnWidths, Int16Array, Geometry, 0, "25,125,50,50,50,50,50,110,150,50", -32768, 32767, 0, kReadOnly, ""),
    COMMON(viewMode, Int16, Geometry, 0, "", 0, 3, 0, kRuleNone, ""),
    COMMON(accountPaneWidth, Int16, Geometry, 360, "", 30, 32767, 0, kRuleNone, ""),
    COMMON(keepForwardingOverLimit, Flag16, Common, 0, "", 0, 1, 0, kRuleNone, ""),
    COMMON(unused478, Unused, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    ACCOUNT(smtpServer, Text, Server, 0, "", 0, 255, 0, kRuleNone, ""),
    ACCOUNT(smtpAuth, Flag16, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(smtpAuthPassword, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    ACCOUNT(smtpAuthUser, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    ACCOUNT(myAddress, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    ACCOUNT(forwardTo, Text, Server, 0, "", 0, 4095, 100, static_cast<uint16_t>(kWordList | kMultiLine), ""),
    ACCOUNT(popServer, Text, Server, 0, "", 0, 255, 0, kRuleNone, ""),
    ACCOUNT(popUser, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    ACCOUNT(popPassword, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    ACCOUNT(enabled, Flag8, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(accountName, Text, Server, 0, "", 0, 253, 0, kRuleNone, ""),
    ACCOUNT(unused5377, Unused, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    ACCOUNT(phoneMode, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneAddSenderName, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneAddSubject, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(unused5387, Unused, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    ACCOUNT(phoneRemoveCitations, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneKeepFirstCitation, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneCitationPrefixes, Text, FeaturePhone, 0, "> |", 0, 1023, 0, kRuleNone, ""),
    ACCOUNT(phoneCutOriginalMessage, Flag32, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneCutOriginalLines, Int16, FeaturePhone, 0, "", 0, 32767, 0, kRuleNone, ""),
    ACCOUNT(phoneRemoveSpaces, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneRemoveWideSpaces, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneRemoveBlankLines, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneRemoveTabs, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneNoRemovedFileInfo, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneRemoveRepeats, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneSplit, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneSplitBytes, Int16, FeaturePhone, 360, "", 1, 32767, 0, kRuleNone, ""),
    ACCOUNT(phoneSplitMaxMails, Int16, FeaturePhone, 4, "", 1, 32767, 0, kRuleNone, ""),
    ACCOUNT(unused6441, Unused, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    ACCOUNT(phoneAllow8bit, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(unused7469, Unused, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    ACCOUNT(phoneNumberSubjects, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(unused7473, Unused, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    ACCOUNT(phoneInsertLineBreaks, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneLineBreakBytes, Int16, FeaturePhone, 40, "", 4, 120, 0, kRuleNone, ""),
    ACCOUNT(phoneSplitDelay, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneSplitDelaySec, Int16, FeaturePhone, 10, "", 1, 60, 0, kRuleNone, ""),
    ACCOUNT(phoneCutWord, Text, FeaturePhone, 0, "", 0, 255, 0, kClearsSwitch, "phoneCutAtWord"),
    ACCOUNT(phoneCutWordLines, Int16, FeaturePhone, 0, "", -32768, 32767, 0, kRuleNone, ""),
    ACCOUNT(phoneCutAtWord, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneReverseOrder, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneCutFirstSubject, Flag16, FeaturePhone, 0, "", 0, 1, 0, kInverted, ""),
    ACCOUNT(phoneSubjectBytes, Int16, FeaturePhone, 16, "", 4, 32, 0, kRuleNone, ""),
    ACCOUNT(phoneEndMarks, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneBodyInSubject, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneSplitAnywhere, Flag16, FeaturePhone, 1, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneCompactWords, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneConvertBody, Flag16, FeaturePhone, 1, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneConvertLinefeed, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneKeepReFw, Flag16, FeaturePhone, 1, "", 0, 1, 0, kInverted, ""),
    ACCOUNT(phoneConvertSubject, Flag16, FeaturePhone, 1, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneCountFrom, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneCountSubject, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneCountReplyTo, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneNoCountLf, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneUtf8, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneReplaceDeviceChars, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(lastCheckTime, Text, Runtime, 0, "N/A", 0, 19, 0, kReadOnly, ""),
    ACCOUNT(unused7797, Unused, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    ACCOUNT(popPort, Int16, Server, 110, "", 0, 65535, 0, kPortNumber, ""),
    ACCOUNT(smtpPort, Int16, Server, 25, "", 0, 65535, 0, kPortNumber, ""),
    ACCOUNT(pollInterval, Int16, Server, 10, "", 1, 1440, 0, kRuleNone, ""),
    ACCOUNT(partProcessing, Flag16, PartProcessing, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(oversizeStripAttachments, Flag16, PartProcessing, 1, "", 0, 1, 0, kExclusive, "oversizeDrop"),
    ACCOUNT(oversizeDrop, Flag16, PartProcessing, 0, "", 0, 1, 0, kExclusive, "oversizeStripAttachments"),
    ACCOUNT(filterFromOn, Flag16, Filters, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(filterToOn, Flag16, Filters, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(filterCcOn, Flag16, Filters, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(oversizeKb, Int32, PartProcessing, 0, "", kInt32Min, kInt32Max, 0, kRuleNone, ""),
    ACCOUNT(filterFrom, Text, Filters, 0, "", 0, 4095, 400, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterFromOn"),
    ACCOUNT(filterTo, Text, Filters, 0, "", 0, 4095, 400, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterToOn"),
    ACCOUNT(filterCc, Text, Filters, 0, "", 0, 4095, 400, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterCcOn"),
    ACCOUNT(preferHtmlPart, Flag16, PartProcessing, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(unused20297, Unused, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    ACCOUNT(reversePopOrder, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(fromIsMe, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(filterSubjectOn, Flag16, Filters, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(filterMailerOn, Flag16, Filters, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(filterDateOn, Flag16, Filters, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(filterContentTypeOn, Flag16, Filters, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(filterSubject, Text, Filters, 0, "", 0, 4095, 400, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterSubjectOn"),
    ACCOUNT(filterMailer, Text, Filters, 0, "", 0, 4095, 0, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterMailerOn"),
    ACCOUNT(filterDate, Text, Filters, 0, "", 0, 4095, 0, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterDateOn"),
    ACCOUNT(filterContentType, Text, Filters, 0, "", 0, 4095, 0, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterContentTypeOn"),
    ACCOUNT(noForwardFromDest, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(addMyDomain, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(phoneShortenSubject, Flag16, FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(skipRemainingAtStartup, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(filterMode, Int16, Filters, 0, "", 0, 3, 0, kRuleNone, ""),
    ACCOUNT(deleteAfterForward, Flag16, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(deleteIncludingFiltered, Flag16, Server, 0, "", 0, 1, 0, kExclusive, "spamEraser"),
    ACCOUNT(dropMessageIdHeader, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(dropDateHeader, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(addResentHeaders, Flag16, Advanced, 1, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(forwardSmtpErrorMails, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(unused36725, Unused, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    ACCOUNT(dropFromHeader, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(spamNoTo, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(toIsFirstDest, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(useApop, Flag16, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(noUidlActive, Flag16, Runtime, 0, "", 0, 1, 0, kReadOnly, ""),
    ACCOUNT(noUidl, Flag16, Advanced, 0, "", 0, 1, 0, kCopiesTo, "noUidlActive"),
    ACCOUNT(useSchedule, Flag16, Schedule, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(scheduleStops, Int32Array, Schedule, 0, "", 0, 16777215, 0, kRuleNone, ""),
    ACCOUNT(scheduleDropArrivals, Flag16, Schedule, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(convertAllHtmlParts, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(nonBlocking, Flag16, Advanced, 1, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(mailNumber, Int16, Runtime, 0, "", -32768, 32767, 0, kReadOnly, ""),
    ACCOUNT(dropSenderHeader, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(dropReplyToHeader, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(dropToHeader, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(dropCcHeader, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(mailFromIsSender, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(sendReceivedHeaders, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(sendXMailer, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(useSeparateSmtp, Flag16, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(separateSmtpSender, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    ACCOUNT(popBeforeSmtp, Flag16, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(pbsUser, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    ACCOUNT(pbsPassword, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    ACCOUNT(pbsApop, Flag16, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(pbsServer, Text, Server, 0, "", 0, 63, 0, kRuleNone, ""),
    ACCOUNT(pbsPort, Int16, Server, 110, "", 0, 65535, 0, kPortNumber, ""),
    ACCOUNT(popDelayOn, Flag16, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(ccAllDests, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(keepExtensionsOn, Flag16, PartProcessing, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(keepExtensions, Text, PartProcessing, 0, "", 0, 62, 0, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "keepExtensionsOn"),
    ACCOUNT(subjectPrefixOn, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(subjectPrefix, Text, Advanced, 0, "", 0, 15, 0, kAsciiOnly, ""),
    ACCOUNT(noForwardFromMe, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(senderIsFrom, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(sendXHeaders, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(popDelaySec, Int16, Server, 0, "", 5, 3600, 0, kRuleNone, ""),
    ACCOUNT(spamNoDate, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(spamNoFrom, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(spamNoCc, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(spamNoMessageId, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(spamNoReplyTo, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(spamNoXMailer, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(spamNoContentType, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(spamNoMimeVersion, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(spamNoSubject, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(spamNotToMe, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(remoteSuspended, Flag16, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(accountIndex, Int16, Runtime, 0, "", -32768, 32767, 0, static_cast<uint16_t>(kReadOnly | kIndexDefault), ""),
    ACCOUNT(ignoreRemoteControl, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(unused37177, Unused, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    ACCOUNT(encodeHalfwidthKana, Flag16, Advanced, 1, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(smtpDelayOn, Flag16, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(smtpDelaySec, Int16, Server, 0, "", 1, 3600, 0, kRuleNone, ""),
    ACCOUNT(unicodeToJis, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(dropSubjectHeader, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(startRemoteOff, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(noResendOn550, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(sendDispositionNotificationTo, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(noDuplicateCheck, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(noResendException1, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(limitSubjectOn, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(limitSubjectBytes, Int16, Advanced, 0, "", 1, 254, 0, kRuleNone, ""),
    ACCOUNT(apportion, Flag16, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(apportionCount, Int16, Runtime, 0, "", -32768, 32767, 0, kReadOnly, ""),
    ACCOUNT(apportionNext, Int16, Runtime, 0, "", -32768, 32767, 0, kReadOnly, ""),
    ACCOUNT(spamEraser, Flag16, Server, 0, "", 0, 1, 0, kExclusive, "deleteIncludingFiltered"),
    ACCOUNT(alwaysForwardFrom, Text, Antispam, 0, "", 0, 382, 20, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "alwaysForwardFromOn"),
    ACCOUNT(alwaysForwardFromOn, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(noOriginalSenderInfo, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(onlyWithAttachments, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(popSsl, Flag16, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(smtpSsl, Flag16, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(pbsSsl, Flag16, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(stripAddressComments, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(spamOnlyMeInFromTo, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(attachmentsOnly, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(filterSubjectCharset, Flag16, Filters, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(forwardReadReceipts, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(addErrorsTo, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(htmlToText, Flag16, PartProcessing, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(dropSplitBodies, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(markAllForwardedNext, Flag16, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(noAutoCrlf, Flag16, Advanced, 1, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(extractLinks, Flag16, PartProcessing, 0, "", 0, 1, 0, kSetsRelated, "noAutoCrlf"),
    ACCOUNT(dropReferencesHeader, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(removeOriginalSubject, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(extractTitles, Flag16, PartProcessing, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(extractImageAlt, Flag16, PartProcessing, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(noRecvDelay, Flag16, Advanced, 1, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(noSendDelay, Flag16, Advanced, 1, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(htmlUseUtf8, Flag16, Advanced, 1, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(htmlBase64, Flag16, Advanced, 1, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(accountNumber, Int16, Runtime, 0, "", -32768, 32767, 0, static_cast<uint16_t>(kReadOnly | kIndexDefault), ""),
    ACCOUNT(listRow, Int16, Runtime, 0, "", -32768, 32767, 0, kReadOnly, ""),
    ACCOUNT(filterFromAll, Flag16, Filters, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(filterToAll, Flag16, Filters, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(filterCcAll, Flag16, Filters, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(filterSubjectAll, Flag16, Filters, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(filterMailerUserAgent, Flag16, Filters, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(strictUtf8, Flag16, Advanced, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(overflowNotified, Flag16, Runtime, 0, "", 0, 1, 0, kReadOnly, ""),
    ACCOUNT(tlsNoVerify, Flag16, Server, 0, "", 0, 1, 0, kRuleNone, ""),
    ACCOUNT(unused37665, Unused, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
    EXTRA(replaceFromList, Text, Antispam, 0, "", 0, 1022, 100, static_cast<uint16_t>(kWordList | kMultiLine), ""),
    EXTRA(replaceFromOn, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    EXTRA(appendSenderToSubject, Flag16, Antispam, 0, "", 0, 1, 0, kRuleNone, ""),
    EXTRA(unused1028, Unused, Unused, 0, "", 0, 0, 0, kReadOnly, ""),
};

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
