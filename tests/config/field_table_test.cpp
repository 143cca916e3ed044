// The field table against the records themselves: every member of the three
// records is described once, at its real offset and width, and the
// descriptions tile each record without gaps or overlaps.
#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "config/field_table.h"
#include "config/settings_image.h"

namespace velnora {
namespace {

// Every member of the records, listed from the struct definitions.
#define VELNORA_COMMON_FIELDS(X) \
  X(magic) \
  X(logColumnWidths) \
  X(windowWidth) \
  X(windowHeight) \
  X(windowLeft) \
  X(windowTop) \
  X(autoConnect) \
  X(preventDuplicates) \
  X(sessionLog) \
  X(duplicateCheckAllAccounts) \
  X(unused44) \
  X(trayAfterConnect) \
  X(requirePassword) \
  X(startupPassword) \
  X(trimHistory) \
  X(historyLimit) \
  X(unused68) \
  X(deleteAllOnQuit) \
  X(deleteAllImmediately) \
  X(reserved74) \
  X(autoDial) \
  X(customTimeout) \
  X(timeoutSec) \
  X(unused84) \
  X(noHistoryForDuplicates) \
  X(confirmQuit) \
  X(restartStuckWorker) \
  X(stuckWorkerMinutes) \
  X(reloadSettingsEachCheck) \
  X(tempInCurrentFolder) \
  X(limitFetch) \
  X(fetchLimit) \
  X(remoteControl) \
  X(remotePassword) \
  X(remoteStatusReport) \
  X(noHistoryForErrors) \
  X(maxHeldMails) \
  X(maxHeldMailsNext) \
  X(reserved124) \
  X(reserved252) \
  X(autoScroll) \
  X(templateSkipAccountTab) \
  X(autoConnectDelaySec) \
  X(noUpdateInfo) \
  X(developerOptions) \
  X(accountColumnWidths) \
  X(viewMode) \
  X(accountPaneWidth) \
  X(keepForwardingOverLimit) \
  X(unused478)

#define VELNORA_ACCOUNT_FIELDS(X) \
  X(smtpServer) \
  X(smtpAuth) \
  X(smtpAuthPassword) \
  X(smtpAuthUser) \
  X(myAddress) \
  X(forwardTo) \
  X(popServer) \
  X(popUser) \
  X(popPassword) \
  X(enabled) \
  X(accountName) \
  X(unused5377) \
  X(phoneMode) \
  X(phoneAddSenderName) \
  X(phoneAddSubject) \
  X(unused5387) \
  X(phoneRemoveCitations) \
  X(phoneKeepFirstCitation) \
  X(phoneCitationPrefixes) \
  X(phoneCutOriginalMessage) \
  X(phoneCutOriginalLines) \
  X(phoneRemoveSpaces) \
  X(phoneRemoveWideSpaces) \
  X(phoneRemoveBlankLines) \
  X(phoneRemoveTabs) \
  X(phoneNoRemovedFileInfo) \
  X(phoneRemoveRepeats) \
  X(phoneSplit) \
  X(phoneSplitBytes) \
  X(phoneSplitMaxMails) \
  X(unused6441) \
  X(phoneAllow8bit) \
  X(unused7469) \
  X(phoneNumberSubjects) \
  X(unused7473) \
  X(phoneInsertLineBreaks) \
  X(phoneLineBreakBytes) \
  X(phoneSplitDelay) \
  X(phoneSplitDelaySec) \
  X(phoneCutWord) \
  X(phoneCutWordLines) \
  X(phoneCutAtWord) \
  X(phoneReverseOrder) \
  X(phoneCutFirstSubject) \
  X(phoneSubjectBytes) \
  X(phoneEndMarks) \
  X(phoneBodyInSubject) \
  X(phoneSplitAnywhere) \
  X(phoneCompactWords) \
  X(phoneConvertBody) \
  X(phoneConvertLinefeed) \
  X(phoneKeepReFw) \
  X(phoneConvertSubject) \
  X(phoneCountFrom) \
  X(phoneCountSubject) \
  X(phoneCountReplyTo) \
  X(phoneNoCountLf) \
  X(phoneUtf8) \
  X(phoneReplaceDeviceChars) \
  X(lastCheckTime) \
  X(unused7797) \
  X(popPort) \
  X(smtpPort) \
  X(pollInterval) \
  X(partProcessing) \
  X(oversizeStripAttachments) \
  X(oversizeDrop) \
  X(filterFromOn) \
  X(filterToOn) \
  X(filterCcOn) \
  X(oversizeKb) \
  X(filterFrom) \
  X(filterTo) \
  X(filterCc) \
  X(preferHtmlPart) \
  X(unused20297) \
  X(reversePopOrder) \
  X(fromIsMe) \
  X(filterSubjectOn) \
  X(filterMailerOn) \
  X(filterDateOn) \
  X(filterContentTypeOn) \
  X(filterSubject) \
  X(filterMailer) \
  X(filterDate) \
  X(filterContentType) \
  X(noForwardFromDest) \
  X(addMyDomain) \
  X(phoneShortenSubject) \
  X(skipRemainingAtStartup) \
  X(filterMode) \
  X(deleteAfterForward) \
  X(deleteIncludingFiltered) \
  X(dropMessageIdHeader) \
  X(dropDateHeader) \
  X(addResentHeaders) \
  X(forwardSmtpErrorMails) \
  X(unused36725) \
  X(dropFromHeader) \
  X(spamNoTo) \
  X(toIsFirstDest) \
  X(useApop) \
  X(noUidlActive) \
  X(noUidl) \
  X(useSchedule) \
  X(scheduleStops) \
  X(scheduleDropArrivals) \
  X(convertAllHtmlParts) \
  X(nonBlocking) \
  X(mailNumber) \
  X(dropSenderHeader) \
  X(dropReplyToHeader) \
  X(dropToHeader) \
  X(dropCcHeader) \
  X(mailFromIsSender) \
  X(sendReceivedHeaders) \
  X(sendXMailer) \
  X(useSeparateSmtp) \
  X(separateSmtpSender) \
  X(popBeforeSmtp) \
  X(pbsUser) \
  X(pbsPassword) \
  X(pbsApop) \
  X(pbsServer) \
  X(pbsPort) \
  X(popDelayOn) \
  X(ccAllDests) \
  X(keepExtensionsOn) \
  X(keepExtensions) \
  X(subjectPrefixOn) \
  X(subjectPrefix) \
  X(noForwardFromMe) \
  X(senderIsFrom) \
  X(sendXHeaders) \
  X(popDelaySec) \
  X(spamNoDate) \
  X(spamNoFrom) \
  X(spamNoCc) \
  X(spamNoMessageId) \
  X(spamNoReplyTo) \
  X(spamNoXMailer) \
  X(spamNoContentType) \
  X(spamNoMimeVersion) \
  X(spamNoSubject) \
  X(spamNotToMe) \
  X(remoteSuspended) \
  X(accountIndex) \
  X(ignoreRemoteControl) \
  X(unused37177) \
  X(encodeHalfwidthKana) \
  X(smtpDelayOn) \
  X(smtpDelaySec) \
  X(unicodeToJis) \
  X(dropSubjectHeader) \
  X(startRemoteOff) \
  X(noResendOn550) \
  X(sendDispositionNotificationTo) \
  X(noDuplicateCheck) \
  X(noResendException1) \
  X(limitSubjectOn) \
  X(limitSubjectBytes) \
  X(apportion) \
  X(apportionCount) \
  X(apportionNext) \
  X(spamEraser) \
  X(alwaysForwardFrom) \
  X(alwaysForwardFromOn) \
  X(noOriginalSenderInfo) \
  X(onlyWithAttachments) \
  X(popSsl) \
  X(smtpSsl) \
  X(pbsSsl) \
  X(stripAddressComments) \
  X(spamOnlyMeInFromTo) \
  X(attachmentsOnly) \
  X(filterSubjectCharset) \
  X(forwardReadReceipts) \
  X(addErrorsTo) \
  X(htmlToText) \
  X(dropSplitBodies) \
  X(markAllForwardedNext) \
  X(noAutoCrlf) \
  X(extractLinks) \
  X(dropReferencesHeader) \
  X(removeOriginalSubject) \
  X(extractTitles) \
  X(extractImageAlt) \
  X(noRecvDelay) \
  X(noSendDelay) \
  X(htmlUseUtf8) \
  X(htmlBase64) \
  X(accountNumber) \
  X(listRow) \
  X(filterFromAll) \
  X(filterToAll) \
  X(filterCcAll) \
  X(filterSubjectAll) \
  X(filterMailerUserAgent) \
  X(strictUtf8) \
  X(overflowNotified) \
  X(tlsNoVerify) \
  X(unused37665)

#define VELNORA_EXTRA_FIELDS(X) \
  X(replaceFromList) \
  X(replaceFromOn) \
  X(appendSenderToSubject) \
  X(unused1028)

struct MemberLayout {
  const char* name;
  std::size_t offset;
  std::size_t size;
};

#define COMMON_MEMBER(name) {#name, offsetof(CommonSettings, name), sizeof(CommonSettings::name)},
#define ACCOUNT_MEMBER(name) {#name, offsetof(AccountSettings, name), sizeof(AccountSettings::name)},
#define EXTRA_MEMBER(name) {#name, offsetof(AccountExtraSettings, name), sizeof(AccountExtraSettings::name)},

const std::vector<MemberLayout> kCommonMembers = {VELNORA_COMMON_FIELDS(COMMON_MEMBER)};
const std::vector<MemberLayout> kAccountMembers = {VELNORA_ACCOUNT_FIELDS(ACCOUNT_MEMBER)};
const std::vector<MemberLayout> kExtraMembers = {VELNORA_EXTRA_FIELDS(EXTRA_MEMBER)};

struct RecordCase {
  SettingsRecord record;
  const std::vector<MemberLayout>* members;
  std::size_t size;
};

class FieldTableLayout : public ::testing::TestWithParam<RecordCase> {};

TEST_P(FieldTableLayout, DescribesEveryMemberAtItsOffsetAndWidth) {
  const RecordCase& c = GetParam();
  ASSERT_EQ(FieldsOf(c.record).size(), c.members->size());
  for (const MemberLayout& member : *c.members) {
    const FieldInfo* field = FindField(c.record, member.name);
    ASSERT_NE(field, nullptr) << member.name;
    EXPECT_EQ(field->offset, member.offset) << member.name;
    EXPECT_EQ(field->size, member.size) << member.name;
    EXPECT_EQ(field->record, c.record) << member.name;
  }
}

TEST_P(FieldTableLayout, TilesTheRecordWithoutGapsOrOverlaps) {
  const RecordCase& c = GetParam();
  std::size_t next = 0;
  for (const FieldInfo& field : FieldsOf(c.record)) {
    EXPECT_EQ(field.offset, next) << field.name << " does not start where the previous field ends";
    next = field.offset + field.size;
  }
  EXPECT_EQ(next, c.size);
}

TEST_P(FieldTableLayout, TypesAgreeWithWidths) {
  for (const FieldInfo& field : FieldsOf(GetParam().record)) {
    std::size_t element = 0;
    switch (field.type) {
      case FieldType::Flag8: element = 1; break;
      case FieldType::Flag16:
      case FieldType::Int16:
      case FieldType::Uint16:
      case FieldType::Int16Array: element = 2; break;
      case FieldType::Flag32:
      case FieldType::Int32:
      case FieldType::Int32Array: element = 4; break;
      default: element = field.size; break;
    }
    EXPECT_EQ(element * (field.type == FieldType::Int16Array || field.type == FieldType::Int32Array
                             ? field.count
                             : 1),
              field.size)
        << field.name;
    if (field.type == FieldType::Text) {
      // The edit limit always leaves room for the NUL.
      EXPECT_GT(field.maxValue, 0) << field.name;
      EXPECT_LT(field.maxValue, static_cast<int64_t>(field.size)) << field.name;
      EXPECT_LT(field.defaultText.size(), field.size) << field.name;
    }
    if (field.IsNumber()) {
      EXPECT_LE(field.minValue, field.maxValue) << field.name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Records, FieldTableLayout,
                         ::testing::Values(RecordCase{SettingsRecord::Common, &kCommonMembers, 1100},
                                           RecordCase{SettingsRecord::Account, &kAccountMembers, 37723},
                                           RecordCase{SettingsRecord::Extra, &kExtraMembers, 9218}));

TEST(FieldTable, NamesAreUniqueAcrossTheAccountAndItsExtraRecord) {
  // set account N name=value looks in both records.
  std::set<std::string> names;
  for (SettingsRecord r : {SettingsRecord::Account, SettingsRecord::Extra}) {
    for (const FieldInfo& f : FieldsOf(r)) {
      EXPECT_TRUE(names.insert(std::string(f.name)).second) << f.name;
    }
  }
}

TEST(FieldTable, RelatedFieldsExistAndAreFlagsOfTheSameRecord) {
  for (const FieldInfo& field : AllFields()) {
    if (field.related.empty()) continue;
    const FieldInfo* related = FindField(field.record, field.related);
    ASSERT_NE(related, nullptr) << field.name << " -> " << field.related;
    EXPECT_TRUE(related->IsFlag()) << field.related;
    if (field.Has(kClearsSwitch)) {
      EXPECT_EQ(field.type, FieldType::Text) << field.name;
      EXPECT_EQ(related->page, field.page) << field.name;
    }
  }
}

TEST(FieldTable, ExclusiveChoicesPointAtEachOther) {
  for (const FieldInfo& field : AllFields()) {
    if (!field.Has(kExclusive)) continue;
    const FieldInfo* other = FindField(field.record, field.related);
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(other->Has(kExclusive));
    EXPECT_EQ(other->related, field.name);
  }
}

TEST(FieldTable, ListsThatSwitchOptionsOffAreTheDocumentedOnes) {
  struct Pair {
    SettingsRecord record;
    const char* list;
    const char* flag;
  };
  const Pair pairs[] = {
      {SettingsRecord::Account, "keepExtensions", "keepExtensionsOn"},
      {SettingsRecord::Account, "filterFrom", "filterFromOn"},
      {SettingsRecord::Account, "filterTo", "filterToOn"},
      {SettingsRecord::Account, "filterCc", "filterCcOn"},
      {SettingsRecord::Account, "filterSubject", "filterSubjectOn"},
      {SettingsRecord::Account, "filterMailer", "filterMailerOn"},
      {SettingsRecord::Account, "filterDate", "filterDateOn"},
      {SettingsRecord::Account, "filterContentType", "filterContentTypeOn"},
      {SettingsRecord::Account, "alwaysForwardFrom", "alwaysForwardFromOn"},
      {SettingsRecord::Account, "phoneCutWord", "phoneCutAtWord"},
      {SettingsRecord::Common, "remotePassword", "remoteControl"},
  };
  int clearing = 0;
  for (const FieldInfo& f : AllFields()) clearing += f.Has(kClearsSwitch) ? 1 : 0;
  EXPECT_EQ(clearing, static_cast<int>(std::size(pairs)));
  for (const Pair& p : pairs) {
    const FieldInfo* list = FindField(p.record, p.list);
    ASSERT_NE(list, nullptr) << p.list;
    EXPECT_TRUE(list->Has(kClearsSwitch)) << p.list;
    EXPECT_EQ(list->related, p.flag);
  }
}

TEST(FieldTable, TlsNoVerifyIsAnOffByDefaultServerFlag) {
  const FieldInfo* f = FindField(SettingsRecord::Account, "tlsNoVerify");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->offset, 37663u);
  EXPECT_EQ(f->type, FieldType::Flag16);
  EXPECT_EQ(f->page, SettingsPage::Server);
  EXPECT_EQ(f->defaultValue, 0);
}

}  // namespace
}  // namespace velnora
