// The field descriptions of the three settings records, in record and offset
// order. Limits are what a stored value must keep: the dialog's clamps and the
// load repairs are written as ranges here, and no range lets a value through
// that the next load would change or that the field's width cannot hold.
#include "config/field_table.h"

namespace velnora {
namespace {

constexpr int64_t kInt32Min = -2147483648LL;
constexpr int64_t kInt32Max = 2147483647LL;

// Field, record, offset, type, size, count, page, default, default text,
// min, max (texts: edit limit), entry limit, rules, related field.
constexpr FieldInfo kFields[] = {
    {"magic", SettingsRecord::Common, 0, FieldType::Text, 16, 1, SettingsPage::Identification, 0, "VEL_NORA4_SP4", 0, 15, 0, kReadOnly, ""},
    {"logColumnWidths", SettingsRecord::Common, 16, FieldType::Int16Array, 12, 6, SettingsPage::Geometry, 0, "100,100,120,250,120,120", 1, 32767, 0, kRuleNone, ""},
    {"windowWidth", SettingsRecord::Common, 28, FieldType::Int16, 2, 1, SettingsPage::Geometry, 825, "", -32768, 32767, 0, kComputedDefault, ""},
    {"windowHeight", SettingsRecord::Common, 30, FieldType::Int16, 2, 1, SettingsPage::Geometry, 415, "", -32768, 32767, 0, kComputedDefault, ""},
    {"windowLeft", SettingsRecord::Common, 32, FieldType::Int16, 2, 1, SettingsPage::Geometry, 0, "", -32768, 32767, 0, kComputedDefault, ""},
    {"windowTop", SettingsRecord::Common, 34, FieldType::Int16, 2, 1, SettingsPage::Geometry, 0, "", -32768, 32767, 0, kComputedDefault, ""},
    {"autoConnect", SettingsRecord::Common, 36, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"preventDuplicates", SettingsRecord::Common, 38, FieldType::Flag16, 2, 1, SettingsPage::Common, 1, "", 0, 1, 0, kRuleNone, ""},
    {"sessionLog", SettingsRecord::Common, 40, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"duplicateCheckAllAccounts", SettingsRecord::Common, 42, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"unused44", SettingsRecord::Common, 44, FieldType::Unused, 2, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"trayAfterConnect", SettingsRecord::Common, 46, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"requirePassword", SettingsRecord::Common, 48, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"startupPassword", SettingsRecord::Common, 50, FieldType::Text, 12, 1, SettingsPage::Common, 0, "", 0, 10, 0, kRuleNone, ""},
    {"trimHistory", SettingsRecord::Common, 62, FieldType::Flag16, 2, 1, SettingsPage::Common, 1, "", 0, 1, 0, kRuleNone, ""},
    {"historyLimit", SettingsRecord::Common, 64, FieldType::Int32, 4, 1, SettingsPage::Common, 4000, "", kInt32Min, kInt32Max, 0, kRuleNone, ""},
    {"unused68", SettingsRecord::Common, 68, FieldType::Unused, 2, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"deleteAllOnQuit", SettingsRecord::Common, 70, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"deleteAllImmediately", SettingsRecord::Common, 72, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"reserved74", SettingsRecord::Common, 74, FieldType::Reserved, 2, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"autoDial", SettingsRecord::Common, 76, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"customTimeout", SettingsRecord::Common, 78, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"timeoutSec", SettingsRecord::Common, 80, FieldType::Int32, 4, 1, SettingsPage::Common, 60, "", kInt32Min, kInt32Max, 0, kRuleNone, ""},
    {"unused84", SettingsRecord::Common, 84, FieldType::Unused, 2, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"noHistoryForDuplicates", SettingsRecord::Common, 86, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"confirmQuit", SettingsRecord::Common, 88, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"restartStuckWorker", SettingsRecord::Common, 90, FieldType::Flag16, 2, 1, SettingsPage::Common, 1, "", 0, 1, 0, kRuleNone, ""},
    {"stuckWorkerMinutes", SettingsRecord::Common, 92, FieldType::Int32, 4, 1, SettingsPage::Common, 30, "", 10, kInt32Max, 0, kRuleNone, ""},
    {"reloadSettingsEachCheck", SettingsRecord::Common, 96, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"tempInCurrentFolder", SettingsRecord::Common, 98, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"limitFetch", SettingsRecord::Common, 100, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"fetchLimit", SettingsRecord::Common, 102, FieldType::Int16, 2, 1, SettingsPage::Common, 0, "", 1, 32767, 0, kRuleNone, ""},
    {"remoteControl", SettingsRecord::Common, 104, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"remotePassword", SettingsRecord::Common, 106, FieldType::Text, 10, 1, SettingsPage::Common, 0, "", 0, 8, 0, kClearsSwitch, "remoteControl"},
    {"remoteStatusReport", SettingsRecord::Common, 116, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"noHistoryForErrors", SettingsRecord::Common, 118, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"maxHeldMails", SettingsRecord::Common, 120, FieldType::Uint16, 2, 1, SettingsPage::Common, 10000, "", 1000, 50000, 0, kReadOnly, ""},
    {"maxHeldMailsNext", SettingsRecord::Common, 122, FieldType::Uint16, 2, 1, SettingsPage::Common, 10000, "", 1000, 50000, 0, kRuleNone, ""},
    {"reserved124", SettingsRecord::Common, 124, FieldType::Reserved, 128, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"reserved252", SettingsRecord::Common, 252, FieldType::Reserved, 128, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"autoScroll", SettingsRecord::Common, 380, FieldType::Flag16, 2, 1, SettingsPage::Common, 1, "", 0, 1, 0, kRuleNone, ""},
    {"templateSkipAccountTab", SettingsRecord::Common, 382, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"autoConnectDelaySec", SettingsRecord::Common, 384, FieldType::Int16, 2, 1, SettingsPage::Common, 5, "", 1, 60, 0, kRuleNone, ""},
    {"noUpdateInfo", SettingsRecord::Common, 386, FieldType::Flag16, 2, 1, SettingsPage::Common, 1, "", 0, 1, 0, kRuleNone, ""},
    {"developerOptions", SettingsRecord::Common, 388, FieldType::Text, 64, 1, SettingsPage::Common, 0, "", 0, 63, 0, kRuleNone, ""},
    {"accountColumnWidths", SettingsRecord::Common, 452, FieldType::Int16Array, 20, 10, SettingsPage::Geometry, 0, "25,125,50,50,50,50,50,110,150,50", -32768, 32767, 0, kReadOnly, ""},
    {"viewMode", SettingsRecord::Common, 472, FieldType::Int16, 2, 1, SettingsPage::Geometry, 0, "", 0, 3, 0, kRuleNone, ""},
    {"accountPaneWidth", SettingsRecord::Common, 474, FieldType::Int16, 2, 1, SettingsPage::Geometry, 360, "", 30, 32767, 0, kRuleNone, ""},
    {"keepForwardingOverLimit", SettingsRecord::Common, 476, FieldType::Flag16, 2, 1, SettingsPage::Common, 0, "", 0, 1, 0, kRuleNone, ""},
    {"unused478", SettingsRecord::Common, 478, FieldType::Unused, 622, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"smtpServer", SettingsRecord::Account, 0, FieldType::Text, 256, 1, SettingsPage::Server, 0, "", 0, 255, 0, kRuleNone, ""},
    {"smtpAuth", SettingsRecord::Account, 256, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kRuleNone, ""},
    {"smtpAuthPassword", SettingsRecord::Account, 258, FieldType::Text, 64, 1, SettingsPage::Server, 0, "", 0, 63, 0, kRuleNone, ""},
    {"smtpAuthUser", SettingsRecord::Account, 322, FieldType::Text, 64, 1, SettingsPage::Server, 0, "", 0, 63, 0, kRuleNone, ""},
    {"myAddress", SettingsRecord::Account, 386, FieldType::Text, 256, 1, SettingsPage::Server, 0, "", 0, 63, 0, kRuleNone, ""},
    {"forwardTo", SettingsRecord::Account, 642, FieldType::Text, 4096, 1, SettingsPage::Server, 0, "", 0, 4095, 100, static_cast<uint16_t>(kWordList | kMultiLine), ""},
    {"popServer", SettingsRecord::Account, 4738, FieldType::Text, 256, 1, SettingsPage::Server, 0, "", 0, 255, 0, kRuleNone, ""},
    {"popUser", SettingsRecord::Account, 4994, FieldType::Text, 64, 1, SettingsPage::Server, 0, "", 0, 63, 0, kRuleNone, ""},
    {"popPassword", SettingsRecord::Account, 5058, FieldType::Text, 64, 1, SettingsPage::Server, 0, "", 0, 63, 0, kRuleNone, ""},
    {"enabled", SettingsRecord::Account, 5122, FieldType::Flag8, 1, 1, SettingsPage::Server, 0, "", 0, 1, 0, kRuleNone, ""},
    {"accountName", SettingsRecord::Account, 5123, FieldType::Text, 254, 1, SettingsPage::Server, 0, "", 0, 253, 0, kRuleNone, ""},
    {"unused5377", SettingsRecord::Account, 5377, FieldType::Unused, 4, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"phoneMode", SettingsRecord::Account, 5381, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneAddSenderName", SettingsRecord::Account, 5383, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneAddSubject", SettingsRecord::Account, 5385, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"unused5387", SettingsRecord::Account, 5387, FieldType::Unused, 2, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"phoneRemoveCitations", SettingsRecord::Account, 5389, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneKeepFirstCitation", SettingsRecord::Account, 5391, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneCitationPrefixes", SettingsRecord::Account, 5393, FieldType::Text, 1024, 1, SettingsPage::FeaturePhone, 0, "> |", 0, 1023, 0, kRuleNone, ""},
    {"phoneCutOriginalMessage", SettingsRecord::Account, 6417, FieldType::Flag32, 4, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneCutOriginalLines", SettingsRecord::Account, 6421, FieldType::Int16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 32767, 0, kRuleNone, ""},
    {"phoneRemoveSpaces", SettingsRecord::Account, 6423, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneRemoveWideSpaces", SettingsRecord::Account, 6425, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneRemoveBlankLines", SettingsRecord::Account, 6427, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneRemoveTabs", SettingsRecord::Account, 6429, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneNoRemovedFileInfo", SettingsRecord::Account, 6431, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneRemoveRepeats", SettingsRecord::Account, 6433, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneSplit", SettingsRecord::Account, 6435, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneSplitBytes", SettingsRecord::Account, 6437, FieldType::Int16, 2, 1, SettingsPage::FeaturePhone, 360, "", 1, 32767, 0, kRuleNone, ""},
    {"phoneSplitMaxMails", SettingsRecord::Account, 6439, FieldType::Int16, 2, 1, SettingsPage::FeaturePhone, 4, "", 1, 32767, 0, kRuleNone, ""},
    {"unused6441", SettingsRecord::Account, 6441, FieldType::Unused, 1026, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"phoneAllow8bit", SettingsRecord::Account, 7467, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"unused7469", SettingsRecord::Account, 7469, FieldType::Unused, 2, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"phoneNumberSubjects", SettingsRecord::Account, 7471, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"unused7473", SettingsRecord::Account, 7473, FieldType::Unused, 2, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"phoneInsertLineBreaks", SettingsRecord::Account, 7475, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneLineBreakBytes", SettingsRecord::Account, 7477, FieldType::Int16, 2, 1, SettingsPage::FeaturePhone, 40, "", 4, 120, 0, kRuleNone, ""},
    {"phoneSplitDelay", SettingsRecord::Account, 7479, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneSplitDelaySec", SettingsRecord::Account, 7481, FieldType::Int16, 2, 1, SettingsPage::FeaturePhone, 10, "", 1, 60, 0, kRuleNone, ""},
    {"phoneCutWord", SettingsRecord::Account, 7483, FieldType::Text, 256, 1, SettingsPage::FeaturePhone, 0, "", 0, 255, 0, kClearsSwitch, "phoneCutAtWord"},
    {"phoneCutWordLines", SettingsRecord::Account, 7739, FieldType::Int16, 2, 1, SettingsPage::FeaturePhone, 0, "", -32768, 32767, 0, kRuleNone, ""},
    {"phoneCutAtWord", SettingsRecord::Account, 7741, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneReverseOrder", SettingsRecord::Account, 7743, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneCutFirstSubject", SettingsRecord::Account, 7745, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kInverted, ""},
    {"phoneSubjectBytes", SettingsRecord::Account, 7747, FieldType::Int16, 2, 1, SettingsPage::FeaturePhone, 16, "", 4, 32, 0, kRuleNone, ""},
    {"phoneEndMarks", SettingsRecord::Account, 7749, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneBodyInSubject", SettingsRecord::Account, 7751, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneSplitAnywhere", SettingsRecord::Account, 7753, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 1, "", 0, 1, 0, kRuleNone, ""},
    {"phoneCompactWords", SettingsRecord::Account, 7755, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneConvertBody", SettingsRecord::Account, 7757, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 1, "", 0, 1, 0, kRuleNone, ""},
    {"phoneConvertLinefeed", SettingsRecord::Account, 7759, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneKeepReFw", SettingsRecord::Account, 7761, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 1, "", 0, 1, 0, kInverted, ""},
    {"phoneConvertSubject", SettingsRecord::Account, 7763, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 1, "", 0, 1, 0, kRuleNone, ""},
    {"phoneCountFrom", SettingsRecord::Account, 7765, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneCountSubject", SettingsRecord::Account, 7767, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneCountReplyTo", SettingsRecord::Account, 7769, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneNoCountLf", SettingsRecord::Account, 7771, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneUtf8", SettingsRecord::Account, 7773, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneReplaceDeviceChars", SettingsRecord::Account, 7775, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"lastCheckTime", SettingsRecord::Account, 7777, FieldType::Text, 20, 1, SettingsPage::Runtime, 0, "N/A", 0, 19, 0, kReadOnly, ""},
    {"unused7797", SettingsRecord::Account, 7797, FieldType::Unused, 182, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"popPort", SettingsRecord::Account, 7979, FieldType::Int16, 2, 1, SettingsPage::Server, 110, "", 0, 65535, 0, kPortNumber, ""},
    {"smtpPort", SettingsRecord::Account, 7981, FieldType::Int16, 2, 1, SettingsPage::Server, 25, "", 0, 65535, 0, kPortNumber, ""},
    {"pollInterval", SettingsRecord::Account, 7983, FieldType::Int16, 2, 1, SettingsPage::Server, 10, "", 1, 1440, 0, kRuleNone, ""},
    {"partProcessing", SettingsRecord::Account, 7985, FieldType::Flag16, 2, 1, SettingsPage::PartProcessing, 0, "", 0, 1, 0, kRuleNone, ""},
    {"oversizeStripAttachments", SettingsRecord::Account, 7987, FieldType::Flag16, 2, 1, SettingsPage::PartProcessing, 1, "", 0, 1, 0, kExclusive, "oversizeDrop"},
    {"oversizeDrop", SettingsRecord::Account, 7989, FieldType::Flag16, 2, 1, SettingsPage::PartProcessing, 0, "", 0, 1, 0, kExclusive, "oversizeStripAttachments"},
    {"filterFromOn", SettingsRecord::Account, 7991, FieldType::Flag16, 2, 1, SettingsPage::Filters, 0, "", 0, 1, 0, kRuleNone, ""},
    {"filterToOn", SettingsRecord::Account, 7993, FieldType::Flag16, 2, 1, SettingsPage::Filters, 0, "", 0, 1, 0, kRuleNone, ""},
    {"filterCcOn", SettingsRecord::Account, 7995, FieldType::Flag16, 2, 1, SettingsPage::Filters, 0, "", 0, 1, 0, kRuleNone, ""},
    {"oversizeKb", SettingsRecord::Account, 7997, FieldType::Int32, 4, 1, SettingsPage::PartProcessing, 0, "", kInt32Min, kInt32Max, 0, kRuleNone, ""},
    {"filterFrom", SettingsRecord::Account, 8001, FieldType::Text, 4098, 1, SettingsPage::Filters, 0, "", 0, 4095, 400, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterFromOn"},
    {"filterTo", SettingsRecord::Account, 12099, FieldType::Text, 4098, 1, SettingsPage::Filters, 0, "", 0, 4095, 400, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterToOn"},
    {"filterCc", SettingsRecord::Account, 16197, FieldType::Text, 4098, 1, SettingsPage::Filters, 0, "", 0, 4095, 400, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterCcOn"},
    {"preferHtmlPart", SettingsRecord::Account, 20295, FieldType::Flag16, 2, 1, SettingsPage::PartProcessing, 0, "", 0, 1, 0, kRuleNone, ""},
    {"unused20297", SettingsRecord::Account, 20297, FieldType::Unused, 2, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"reversePopOrder", SettingsRecord::Account, 20299, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"fromIsMe", SettingsRecord::Account, 20301, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"filterSubjectOn", SettingsRecord::Account, 20303, FieldType::Flag16, 2, 1, SettingsPage::Filters, 0, "", 0, 1, 0, kRuleNone, ""},
    {"filterMailerOn", SettingsRecord::Account, 20305, FieldType::Flag16, 2, 1, SettingsPage::Filters, 0, "", 0, 1, 0, kRuleNone, ""},
    {"filterDateOn", SettingsRecord::Account, 20307, FieldType::Flag16, 2, 1, SettingsPage::Filters, 0, "", 0, 1, 0, kRuleNone, ""},
    {"filterContentTypeOn", SettingsRecord::Account, 20309, FieldType::Flag16, 2, 1, SettingsPage::Filters, 0, "", 0, 1, 0, kRuleNone, ""},
    {"filterSubject", SettingsRecord::Account, 20311, FieldType::Text, 4098, 1, SettingsPage::Filters, 0, "", 0, 4095, 400, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterSubjectOn"},
    {"filterMailer", SettingsRecord::Account, 24409, FieldType::Text, 4098, 1, SettingsPage::Filters, 0, "", 0, 4095, 0, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterMailerOn"},
    {"filterDate", SettingsRecord::Account, 28507, FieldType::Text, 4098, 1, SettingsPage::Filters, 0, "", 0, 4095, 0, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterDateOn"},
    {"filterContentType", SettingsRecord::Account, 32605, FieldType::Text, 4098, 1, SettingsPage::Filters, 0, "", 0, 4095, 0, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "filterContentTypeOn"},
    {"noForwardFromDest", SettingsRecord::Account, 36703, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"addMyDomain", SettingsRecord::Account, 36705, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"phoneShortenSubject", SettingsRecord::Account, 36707, FieldType::Flag16, 2, 1, SettingsPage::FeaturePhone, 0, "", 0, 1, 0, kRuleNone, ""},
    {"skipRemainingAtStartup", SettingsRecord::Account, 36709, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"filterMode", SettingsRecord::Account, 36711, FieldType::Int16, 2, 1, SettingsPage::Filters, 0, "", 0, 3, 0, kRuleNone, ""},
    {"deleteAfterForward", SettingsRecord::Account, 36713, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kRuleNone, ""},
    {"deleteIncludingFiltered", SettingsRecord::Account, 36715, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kExclusive, "spamEraser"},
    {"dropMessageIdHeader", SettingsRecord::Account, 36717, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"dropDateHeader", SettingsRecord::Account, 36719, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"addResentHeaders", SettingsRecord::Account, 36721, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 1, "", 0, 1, 0, kRuleNone, ""},
    {"forwardSmtpErrorMails", SettingsRecord::Account, 36723, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"unused36725", SettingsRecord::Account, 36725, FieldType::Unused, 2, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"dropFromHeader", SettingsRecord::Account, 36727, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"spamNoTo", SettingsRecord::Account, 36729, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"toIsFirstDest", SettingsRecord::Account, 36731, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"useApop", SettingsRecord::Account, 36733, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kRuleNone, ""},
    {"noUidlActive", SettingsRecord::Account, 36735, FieldType::Flag16, 2, 1, SettingsPage::Runtime, 0, "", 0, 1, 0, kReadOnly, ""},
    {"noUidl", SettingsRecord::Account, 36737, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kCopiesTo, "noUidlActive"},
    {"useSchedule", SettingsRecord::Account, 36739, FieldType::Flag16, 2, 1, SettingsPage::Schedule, 0, "", 0, 1, 0, kRuleNone, ""},
    {"scheduleStops", SettingsRecord::Account, 36741, FieldType::Int32Array, 28, 7, SettingsPage::Schedule, 0, "", 0, 16777215, 0, kRuleNone, ""},
    {"scheduleDropArrivals", SettingsRecord::Account, 36769, FieldType::Flag16, 2, 1, SettingsPage::Schedule, 0, "", 0, 1, 0, kRuleNone, ""},
    {"convertAllHtmlParts", SettingsRecord::Account, 36771, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"nonBlocking", SettingsRecord::Account, 36773, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 1, "", 0, 1, 0, kRuleNone, ""},
    {"mailNumber", SettingsRecord::Account, 36775, FieldType::Int16, 2, 1, SettingsPage::Runtime, 0, "", -32768, 32767, 0, kReadOnly, ""},
    {"dropSenderHeader", SettingsRecord::Account, 36777, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"dropReplyToHeader", SettingsRecord::Account, 36779, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"dropToHeader", SettingsRecord::Account, 36781, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"dropCcHeader", SettingsRecord::Account, 36783, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"mailFromIsSender", SettingsRecord::Account, 36785, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"sendReceivedHeaders", SettingsRecord::Account, 36787, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"sendXMailer", SettingsRecord::Account, 36789, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"useSeparateSmtp", SettingsRecord::Account, 36791, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kRuleNone, ""},
    {"separateSmtpSender", SettingsRecord::Account, 36793, FieldType::Text, 64, 1, SettingsPage::Server, 0, "", 0, 63, 0, kRuleNone, ""},
    {"popBeforeSmtp", SettingsRecord::Account, 36857, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kRuleNone, ""},
    {"pbsUser", SettingsRecord::Account, 36859, FieldType::Text, 64, 1, SettingsPage::Server, 0, "", 0, 63, 0, kRuleNone, ""},
    {"pbsPassword", SettingsRecord::Account, 36923, FieldType::Text, 64, 1, SettingsPage::Server, 0, "", 0, 63, 0, kRuleNone, ""},
    {"pbsApop", SettingsRecord::Account, 36987, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kRuleNone, ""},
    {"pbsServer", SettingsRecord::Account, 36989, FieldType::Text, 64, 1, SettingsPage::Server, 0, "", 0, 63, 0, kRuleNone, ""},
    {"pbsPort", SettingsRecord::Account, 37053, FieldType::Int16, 2, 1, SettingsPage::Server, 110, "", 0, 65535, 0, kPortNumber, ""},
    {"popDelayOn", SettingsRecord::Account, 37055, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kRuleNone, ""},
    {"ccAllDests", SettingsRecord::Account, 37057, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"keepExtensionsOn", SettingsRecord::Account, 37059, FieldType::Flag16, 2, 1, SettingsPage::PartProcessing, 0, "", 0, 1, 0, kRuleNone, ""},
    {"keepExtensions", SettingsRecord::Account, 37061, FieldType::Text, 64, 1, SettingsPage::PartProcessing, 0, "", 0, 62, 0, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "keepExtensionsOn"},
    {"subjectPrefixOn", SettingsRecord::Account, 37125, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"subjectPrefix", SettingsRecord::Account, 37127, FieldType::Text, 16, 1, SettingsPage::Advanced, 0, "", 0, 15, 0, kAsciiOnly, ""},
    {"noForwardFromMe", SettingsRecord::Account, 37143, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"senderIsFrom", SettingsRecord::Account, 37145, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"sendXHeaders", SettingsRecord::Account, 37147, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"popDelaySec", SettingsRecord::Account, 37149, FieldType::Int16, 2, 1, SettingsPage::Server, 0, "", 5, 3600, 0, kRuleNone, ""},
    {"spamNoDate", SettingsRecord::Account, 37151, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"spamNoFrom", SettingsRecord::Account, 37153, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"spamNoCc", SettingsRecord::Account, 37155, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"spamNoMessageId", SettingsRecord::Account, 37157, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"spamNoReplyTo", SettingsRecord::Account, 37159, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"spamNoXMailer", SettingsRecord::Account, 37161, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"spamNoContentType", SettingsRecord::Account, 37163, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"spamNoMimeVersion", SettingsRecord::Account, 37165, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"spamNoSubject", SettingsRecord::Account, 37167, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"spamNotToMe", SettingsRecord::Account, 37169, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"remoteSuspended", SettingsRecord::Account, 37171, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kRuleNone, ""},
    {"accountIndex", SettingsRecord::Account, 37173, FieldType::Int16, 2, 1, SettingsPage::Runtime, 0, "", -32768, 32767, 0, static_cast<uint16_t>(kReadOnly | kIndexDefault), ""},
    {"ignoreRemoteControl", SettingsRecord::Account, 37175, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"unused37177", SettingsRecord::Account, 37177, FieldType::Unused, 2, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"encodeHalfwidthKana", SettingsRecord::Account, 37179, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 1, "", 0, 1, 0, kRuleNone, ""},
    {"smtpDelayOn", SettingsRecord::Account, 37181, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kRuleNone, ""},
    {"smtpDelaySec", SettingsRecord::Account, 37183, FieldType::Int16, 2, 1, SettingsPage::Server, 0, "", 1, 3600, 0, kRuleNone, ""},
    {"unicodeToJis", SettingsRecord::Account, 37185, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"dropSubjectHeader", SettingsRecord::Account, 37187, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"startRemoteOff", SettingsRecord::Account, 37189, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"noResendOn550", SettingsRecord::Account, 37191, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"sendDispositionNotificationTo", SettingsRecord::Account, 37193, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"noDuplicateCheck", SettingsRecord::Account, 37195, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"noResendException1", SettingsRecord::Account, 37197, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"limitSubjectOn", SettingsRecord::Account, 37199, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"limitSubjectBytes", SettingsRecord::Account, 37201, FieldType::Int16, 2, 1, SettingsPage::Advanced, 0, "", 1, 254, 0, kRuleNone, ""},
    {"apportion", SettingsRecord::Account, 37203, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kRuleNone, ""},
    {"apportionCount", SettingsRecord::Account, 37205, FieldType::Int16, 2, 1, SettingsPage::Runtime, 0, "", -32768, 32767, 0, kReadOnly, ""},
    {"apportionNext", SettingsRecord::Account, 37207, FieldType::Int16, 2, 1, SettingsPage::Runtime, 0, "", -32768, 32767, 0, kReadOnly, ""},
    {"spamEraser", SettingsRecord::Account, 37209, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kExclusive, "deleteIncludingFiltered"},
    {"alwaysForwardFrom", SettingsRecord::Account, 37211, FieldType::Text, 384, 1, SettingsPage::Antispam, 0, "", 0, 382, 20, static_cast<uint16_t>(kWordList | kMultiLine | kClearsSwitch), "alwaysForwardFromOn"},
    {"alwaysForwardFromOn", SettingsRecord::Account, 37595, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"noOriginalSenderInfo", SettingsRecord::Account, 37597, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"onlyWithAttachments", SettingsRecord::Account, 37599, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"popSsl", SettingsRecord::Account, 37601, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kRuleNone, ""},
    {"smtpSsl", SettingsRecord::Account, 37603, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kRuleNone, ""},
    {"pbsSsl", SettingsRecord::Account, 37605, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kRuleNone, ""},
    {"stripAddressComments", SettingsRecord::Account, 37607, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"spamOnlyMeInFromTo", SettingsRecord::Account, 37609, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"attachmentsOnly", SettingsRecord::Account, 37611, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"filterSubjectCharset", SettingsRecord::Account, 37613, FieldType::Flag16, 2, 1, SettingsPage::Filters, 0, "", 0, 1, 0, kRuleNone, ""},
    {"forwardReadReceipts", SettingsRecord::Account, 37615, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"addErrorsTo", SettingsRecord::Account, 37617, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"htmlToText", SettingsRecord::Account, 37619, FieldType::Flag16, 2, 1, SettingsPage::PartProcessing, 0, "", 0, 1, 0, kRuleNone, ""},
    {"dropSplitBodies", SettingsRecord::Account, 37621, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"markAllForwardedNext", SettingsRecord::Account, 37623, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kRuleNone, ""},
    {"noAutoCrlf", SettingsRecord::Account, 37625, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 1, "", 0, 1, 0, kRuleNone, ""},
    {"extractLinks", SettingsRecord::Account, 37627, FieldType::Flag16, 2, 1, SettingsPage::PartProcessing, 0, "", 0, 1, 0, kSetsRelated, "noAutoCrlf"},
    {"dropReferencesHeader", SettingsRecord::Account, 37629, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"removeOriginalSubject", SettingsRecord::Account, 37631, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"extractTitles", SettingsRecord::Account, 37633, FieldType::Flag16, 2, 1, SettingsPage::PartProcessing, 0, "", 0, 1, 0, kRuleNone, ""},
    {"extractImageAlt", SettingsRecord::Account, 37635, FieldType::Flag16, 2, 1, SettingsPage::PartProcessing, 0, "", 0, 1, 0, kRuleNone, ""},
    {"noRecvDelay", SettingsRecord::Account, 37637, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 1, "", 0, 1, 0, kRuleNone, ""},
    {"noSendDelay", SettingsRecord::Account, 37639, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 1, "", 0, 1, 0, kRuleNone, ""},
    {"htmlUseUtf8", SettingsRecord::Account, 37641, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 1, "", 0, 1, 0, kRuleNone, ""},
    {"htmlBase64", SettingsRecord::Account, 37643, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 1, "", 0, 1, 0, kRuleNone, ""},
    {"accountNumber", SettingsRecord::Account, 37645, FieldType::Int16, 2, 1, SettingsPage::Runtime, 0, "", -32768, 32767, 0, static_cast<uint16_t>(kReadOnly | kIndexDefault), ""},
    {"listRow", SettingsRecord::Account, 37647, FieldType::Int16, 2, 1, SettingsPage::Runtime, 0, "", -32768, 32767, 0, kReadOnly, ""},
    {"filterFromAll", SettingsRecord::Account, 37649, FieldType::Flag16, 2, 1, SettingsPage::Filters, 0, "", 0, 1, 0, kRuleNone, ""},
    {"filterToAll", SettingsRecord::Account, 37651, FieldType::Flag16, 2, 1, SettingsPage::Filters, 0, "", 0, 1, 0, kRuleNone, ""},
    {"filterCcAll", SettingsRecord::Account, 37653, FieldType::Flag16, 2, 1, SettingsPage::Filters, 0, "", 0, 1, 0, kRuleNone, ""},
    {"filterSubjectAll", SettingsRecord::Account, 37655, FieldType::Flag16, 2, 1, SettingsPage::Filters, 0, "", 0, 1, 0, kRuleNone, ""},
    {"filterMailerUserAgent", SettingsRecord::Account, 37657, FieldType::Flag16, 2, 1, SettingsPage::Filters, 0, "", 0, 1, 0, kRuleNone, ""},
    {"strictUtf8", SettingsRecord::Account, 37659, FieldType::Flag16, 2, 1, SettingsPage::Advanced, 0, "", 0, 1, 0, kRuleNone, ""},
    {"overflowNotified", SettingsRecord::Account, 37661, FieldType::Flag16, 2, 1, SettingsPage::Runtime, 0, "", 0, 1, 0, kReadOnly, ""},
    {"tlsNoVerify", SettingsRecord::Account, 37663, FieldType::Flag16, 2, 1, SettingsPage::Server, 0, "", 0, 1, 0, kRuleNone, ""},
    {"unused37665", SettingsRecord::Account, 37665, FieldType::Unused, 58, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
    {"replaceFromList", SettingsRecord::Extra, 0, FieldType::Text, 1024, 1, SettingsPage::Antispam, 0, "", 0, 1022, 100, static_cast<uint16_t>(kWordList | kMultiLine), ""},
    {"replaceFromOn", SettingsRecord::Extra, 1024, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"appendSenderToSubject", SettingsRecord::Extra, 1026, FieldType::Flag16, 2, 1, SettingsPage::Antispam, 0, "", 0, 1, 0, kRuleNone, ""},
    {"unused1028", SettingsRecord::Extra, 1028, FieldType::Unused, 8190, 1, SettingsPage::Unused, 0, "", 0, 0, 0, kReadOnly, ""},
};

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
