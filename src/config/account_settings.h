// One forwarding account's settings and its companion record. The byte
// layout is the settings file's layout (little-endian, no padding), so every
// field sits at a fixed offset that the static_asserts below pin down.
// Texts are NUL-terminated code page 932 in fixed buffers; flags are 0 or 1
// and are tested for non-zero.
// Fields may sit at odd addresses: copy them (int v = a.popPort), never bind
// a reference or pointer to one (std::min, push_back, EXPECT_EQ take references).
#pragma once

#include <cstddef>
#include <cstdint>

namespace velnora {

inline constexpr std::size_t kAccountSettingsSize = 37723;
inline constexpr std::size_t kAccountExtraSettingsSize = 9218;

// The default of phoneCitationPrefixes: the prefixes ">" and "|".
inline constexpr char kDefaultCitationPrefixes[] = "> |";
// The lastCheckTime of an account that was never checked.
inline constexpr char kNoCheckTime[] = "N/A";

#pragma pack(push, 1)
struct AccountSettings {
  // 0: SMTP server host name [Server page]
  char smtpServer[256];
  // 256: authenticate to the SMTP server [Server page]
  int16_t smtpAuth;
  // 258: SMTP AUTH password; when empty, popPassword is used [Server page]
  char smtpAuthPassword[64];
  // 322: SMTP AUTH user name; when empty, popUser is used [Server page]
  char smtpAuthUser[64];
  // 386: the account's own mail address (the forwarding source address); "my address" for the
  // filters, for From: rewriting, Errors-To: and notices [Server page]
  char myAddress[256];
  // 642: destination addresses, separated by spaces [Server page]
  char forwardTo[4096];
  // 4738: POP3 server host name [Server page]
  char popServer[256];
  // 4994: POP3 user name [Server page]
  char popUser[64];
  // 5058: POP3 password [Server page]
  char popPassword[64];
  // 5122: forwarding switched on for this account [Server page]
  int8_t enabled;
  // 5123: display name [Server page]
  char accountName[254];
  // 5377: unused: zero in a fresh record, kept as read
  uint8_t unused5377[4];
  // 5381: feature-phone forwarding options in force; when 0 every other field of this page is
  // ignored [Feature Phone page]
  int16_t phoneMode;
  // 5383: put the sender's name at the top of the body [Feature Phone page]
  int16_t phoneAddSenderName;
  // 5385: put the subject at the top of the body [Feature Phone page]
  int16_t phoneAddSubject;
  // 5387: unused: zero in a fresh record, kept as read
  uint8_t unused5387[2];
  // 5389: remove lines that begin with a citation prefix [Feature Phone page]
  int16_t phoneRemoveCitations;
  // 5391: 1 = keep the first cited line ("1行目だけ残して削除"), 0 = remove all ("すべて削除") [Feature Phone
  // page]
  int16_t phoneKeepFirstCitation;
  // 5393: citation prefixes separated by spaces [Feature Phone page]
  char phoneCitationPrefixes[1024];
  // 6417: remove lines below a "-- Original Message --" line [Feature Phone page]
  int32_t phoneCutOriginalMessage;
  // 6421: number of lines removed there; 0 = everything below [Feature Phone page]
  int16_t phoneCutOriginalLines;
  // 6423: remove half-width spaces [Feature Phone page]
  int16_t phoneRemoveSpaces;
  // 6425: remove full-width spaces [Feature Phone page]
  int16_t phoneRemoveWideSpaces;
  // 6427: remove empty lines [Feature Phone page]
  int16_t phoneRemoveBlankLines;
  // 6429: remove TAB characters [Feature Phone page]
  int16_t phoneRemoveTabs;
  // 6431: do not add the note about removed attachments [Feature Phone page]
  int16_t phoneNoRemovedFileInfo;
  // 6433: remove runs of one repeated character (more than five) [Feature Phone page]
  int16_t phoneRemoveRepeats;
  // 6435: split long mails into several mails [Feature Phone page]
  int16_t phoneSplit;
  // 6437: bytes per split part [Feature Phone page]
  int16_t phoneSplitBytes;
  // 6439: at most this many parts [Feature Phone page]
  int16_t phoneSplitMaxMails;
  // 6441: unused: zero in a fresh record, kept as read
  uint8_t unused6441[1026];
  // 7467: allow sending 8-bit mails (ISO-8859-*, BIG5, GB2312 and the like) [Feature Phone page]
  int16_t phoneAllow8bit;
  // 7469: unused: zero in a fresh record, kept as read
  uint8_t unused7469[2];
  // 7471: put the mail number in front of the part number of the subject ("nn1)題名") [Feature Phone
  // page]
  int16_t phoneNumberSubjects;
  // 7473: unused: zero in a fresh record, kept as read
  uint8_t unused7473[2];
  // 7475: force a line break every phoneLineBreakBytes bytes [Feature Phone page]
  int16_t phoneInsertLineBreaks;
  // 7477: bytes per forced line [Feature Phone page]
  int16_t phoneLineBreakBytes;
  // 7479: wait between sending the parts [Feature Phone page]
  int16_t phoneSplitDelay;
  // 7481: the wait in seconds [Feature Phone page]
  int16_t phoneSplitDelaySec;
  // 7483: the word [Feature Phone page]
  char phoneCutWord[256];
  // 7739: number of lines removed below the word [Feature Phone page]
  int16_t phoneCutWordLines;
  // 7741: remove lines below a line containing phoneCutWord [Feature Phone page]
  int16_t phoneCutAtWord;
  // 7743: send the parts in reverse order [Feature Phone page]
  int16_t phoneReverseOrder;
  // 7745: 1 = the subject of the first part is cut too; 0 = only the later parts are cut [Feature
  // Phone page]
  int16_t phoneCutFirstSubject;
  // 7747: subject length in bytes [Feature Phone page]
  int16_t phoneSubjectBytes;
  // 7749: end the body with "E!" on the last part and "C." on the others [Feature Phone page]
  int16_t phoneEndMarks;
  // 7751: put the body into the subject (up to 256 characters) [Feature Phone page]
  int16_t phoneBodyInSubject;
  // 7753: split also in the middle of a line, ignoring line-break positions [Feature Phone page]
  int16_t phoneSplitAnywhere;
  // 7755: remove spaces and capitalise the first letter of each word [Feature Phone page]
  int16_t phoneCompactWords;
  // 7757: convert the body to the code chosen by phoneUtf8 [Feature Phone page]
  int16_t phoneConvertBody;
  // 7759: convert line breaks [Feature Phone page]
  int16_t phoneConvertLinefeed;
  // 7761: 1 = leave "Re:" and "Fw:" as they are; 0 = replace "Re:" by "<" and "Fw:" by ">"
  // [Feature Phone page]
  int16_t phoneKeepReFw;
  // 7763: apply the conversion to the subject too [Feature Phone page]
  int16_t phoneConvertSubject;
  // 7765: add the length of the From: header to the split count [Feature Phone page]
  int16_t phoneCountFrom;
  // 7767: add the length of the Subject: header to the split count [Feature Phone page]
  int16_t phoneCountSubject;
  // 7769: add the length of the Reply-To: header to the split count [Feature Phone page]
  int16_t phoneCountReplyTo;
  // 7771: do not count line feeds when splitting [Feature Phone page]
  int16_t phoneNoCountLf;
  // 7773: target code: 1 = UTF-8, 0 = Shift_JIS [Feature Phone page]
  int16_t phoneUtf8;
  // 7775: replace device-dependent (vendor-dependent) kanji [Feature Phone page]
  int16_t phoneReplaceDeviceChars;
  // 7777: time text of the last mailbox check, shown in the account list [kept by the program, not
  // edited]
  char lastCheckTime[20];
  // 7797: unused: zero in a fresh record, kept as read
  uint8_t unused7797[182];
  // 7979: POP3 port [Server page]
  int16_t popPort;
  // 7981: SMTP port [Server page]
  int16_t smtpPort;
  // 7983: minutes between mailbox checks; the forwarding cycle runs the account on the ticks whose
  // count is a multiple of it [Server page]
  int16_t pollInterval;
  // 7985: apply the oversize rules of this page ("メールパートの処理"); without effect while phoneMode is
  // on [Part Processing page]
  int16_t partProcessing;
  // 7987: a mail larger than oversizeKb is forwarded as body text only, without attachments [Part
  // Processing page]
  int16_t oversizeStripAttachments;
  // 7989: a mail larger than oversizeKb is not forwarded [Part Processing page]
  int16_t oversizeDrop;
  // 7991: From: condition switched on [Filters page]
  int16_t filterFromOn;
  // 7993: To: condition switched on [Filters page]
  int16_t filterToOn;
  // 7995: Cc: condition switched on [Filters page]
  int16_t filterCcOn;
  // 7997: the size limit in kilobytes [Part Processing page]
  int32_t oversizeKb;
  // 8001: From: words [Filters page]
  char filterFrom[4098];
  // 12099: To: words [Filters page]
  char filterTo[4098];
  // 16197: Cc: words [Filters page]
  char filterCc[4098];
  // 20295: multipart/alternative mails: 1 = forward the HTML part, 0 = the text part [Part
  // Processing page]
  int16_t preferHtmlPart;
  // 20297: unused: zero in a fresh record, kept as read
  uint8_t unused20297[2];
  // 20299: walk the POP3 message list from the last message to the first [Advanced Options page]
  int16_t reversePopOrder;
  // 20301: From: becomes myAddress, Reply-To: the original sender [Advanced Options page]
  int16_t fromIsMe;
  // 20303: Subject: condition switched on [Filters page]
  int16_t filterSubjectOn;
  // 20305: mail-program condition switched on [Filters page]
  int16_t filterMailerOn;
  // 20307: time-zone condition switched on [Filters page]
  int16_t filterDateOn;
  // 20309: character-set condition switched on [Filters page]
  int16_t filterContentTypeOn;
  // 20311: Subject: words [Filters page]
  char filterSubject[4098];
  // 24409: mail-program words [Filters page]
  char filterMailer[4098];
  // 28507: time zones of the Date: header, such as +0900 [Filters page]
  char filterDate[4098];
  // 32605: character-set names of Content-Type: (US-ASCII, GB2312, BIG5, ISO-2022-KR and the like)
  // [Filters page]
  char filterContentType[4098];
  // 36703: never forward a mail whose sender is one of the forwardTo addresses (bounce loop guard)
  // [Antispam page]
  int16_t noForwardFromDest;
  // 36705: addresses without a domain get the domain of myAddress [Advanced Options page]
  int16_t addMyDomain;
  // 36707: cut the subject to phoneSubjectBytes bytes [Feature Phone page]
  int16_t phoneShortenSubject;
  // 36709: mails already on the server when the program starts are not forwarded [Advanced Options
  // page]
  int16_t skipRemainingAtStartup;
  // 36711: 0 "a)" any condition matches: do not forward; 1 "b)" any condition matches: forward; 2
  // "c)" all conditions match: do not forward; 3 "d)" all conditions match: forward [Filters page]
  int16_t filterMode;
  // 36713: delete mails from the POP3 server after forwarding [Server page]
  int16_t deleteAfterForward;
  // 36715: with deleteAfterForward: 1 = delete every fetched mail, also the ones that the filters
  // kept back; 0 = delete only the forwarded ones [Server page]
  int16_t deleteIncludingFiltered;
  // 36717: do not send Message-Id: [Advanced Options page]
  int16_t dropMessageIdHeader;
  // 36719: do not send Date: [Advanced Options page]
  int16_t dropDateHeader;
  // 36721: add the Resent-* headers that mark the mail as forwarded [Advanced Options page]
  int16_t addResentHeaders;
  // 36723: SMTP error mails (returned mail) are forwarded instead of being filtered out [Advanced
  // Options page]
  int16_t forwardSmtpErrorMails;
  // 36725: unused: zero in a fresh record, kept as read
  uint8_t unused36725[2];
  // 36727: do not send From: [Advanced Options page]
  int16_t dropFromHeader;
  // 36729: drop mails without To: or whose To: has no "@" [Antispam page]
  int16_t spamNoTo;
  // 36731: To: becomes the first destination address [Advanced Options page]
  int16_t toIsFirstDest;
  // 36733: log in to POP3 with APOP [Server page]
  int16_t useApop;
  // 36735: working copy of noUidl: set from noUidl at every load, when the Advanced page is saved
  // and at the start of each forwarding procedure; the POP3 client and the forwarding procedure
  // read this copy [kept by the program, not edited]
  int16_t noUidlActive;
  // 36737: do not use the POP3 UIDL command for duplicate detection [Advanced Options page]
  int16_t noUidl;
  // 36739: the schedule is in force [Schedule page]
  int16_t useSchedule;
  // 36741: one mask per weekday, Monday first, Sunday last; bit (23 − h) set means no forwarding
  // during hour h (h = 0..23), so hour 0 is bit 23 and hour 23 is bit 0; bits 24 to 31 are unused
  // [Schedule page]
  int32_t scheduleStops[7];
  // 36769: mails that arrive during a stopped hour are never forwarded, not even when forwarding
  // resumes [Schedule page]
  int16_t scheduleDropArrivals;
  // 36771: convert all MIME parts of HTML mails to text [Advanced Options page]
  int16_t convertAllHtmlParts;
  // 36773: use non-blocking sockets with time-outs [Advanced Options page]
  int16_t nonBlocking;
  // 36775: running mail number used by the subject numbering of split mails; kept across settings
  // reloads by the forwarding cycle [kept by the program, not edited]
  int16_t mailNumber;
  // 36777: do not send Sender: [Advanced Options page]
  int16_t dropSenderHeader;
  // 36779: do not send Reply-To: [Advanced Options page]
  int16_t dropReplyToHeader;
  // 36781: do not send To: [Advanced Options page]
  int16_t dropToHeader;
  // 36783: do not send Cc: [Advanced Options page]
  int16_t dropCcHeader;
  // 36785: the SMTP MAIL FROM: carries the original From: address [Advanced Options page]
  int16_t mailFromIsSender;
  // 36787: keep the original Received: headers [Advanced Options page]
  int16_t sendReceivedHeaders;
  // 36789: keep the original X-Mailer: [Advanced Options page]
  int16_t sendXMailer;
  // 36791: send through a different provider's SMTP server, with separateSmtpSender as sender
  // [Server page]
  int16_t useSeparateSmtp;
  // 36793: sender address used with the separate SMTP server ("[アドレス]@[ドメイン]") [Server page]
  char separateSmtpSender[64];
  // 36857: log in to a POP3 server before each SMTP session (POP before SMTP) [Server page]
  int16_t popBeforeSmtp;
  // 36859: POP-before-SMTP user name [Server page]
  char pbsUser[64];
  // 36923: POP-before-SMTP password [Server page]
  char pbsPassword[64];
  // 36987: POP-before-SMTP login with APOP [Server page]
  int16_t pbsApop;
  // 36989: POP-before-SMTP server host name [Server page]
  char pbsServer[64];
  // 37053: POP-before-SMTP port (the dialog labels it "110/995") [Server page]
  int16_t pbsPort;
  // 37055: wait popDelaySec before each POP3 connection [Server page]
  int16_t popDelayOn;
  // 37057: all destination addresses are added to Cc: [Advanced Options page]
  int16_t ccAllDests;
  // 37059: attachments whose extension is listed in keepExtensions are always forwarded [Part
  // Processing page]
  int16_t keepExtensionsOn;
  // 37061: file extensions [Part Processing page]
  char keepExtensions[64];
  // 37125: put subjectPrefix in front of the subject [Advanced Options page]
  int16_t subjectPrefixOn;
  // 37127: the subject prefix [Advanced Options page]
  char subjectPrefix[16];
  // 37143: never forward a mail whose sender is myAddress [Antispam page]
  int16_t noForwardFromMe;
  // 37145: Sender: becomes the From: address [Advanced Options page]
  int16_t senderIsFrom;
  // 37147: keep all X-* headers [Advanced Options page]
  int16_t sendXHeaders;
  // 37149: the POP3 wait in seconds [Server page]
  int16_t popDelaySec;
  // 37151: drop mails without Date: [Antispam page]
  int16_t spamNoDate;
  // 37153: drop mails without From: [Antispam page]
  int16_t spamNoFrom;
  // 37155: drop mails without Cc: [Antispam page]
  int16_t spamNoCc;
  // 37157: drop mails without Message-ID: [Antispam page]
  int16_t spamNoMessageId;
  // 37159: drop mails without Reply-To: [Antispam page]
  int16_t spamNoReplyTo;
  // 37161: drop mails without X-Mailer: [Antispam page]
  int16_t spamNoXMailer;
  // 37163: drop mails without Content-Type: [Antispam page]
  int16_t spamNoContentType;
  // 37165: drop mails without MIME-Version: [Antispam page]
  int16_t spamNoMimeVersion;
  // 37167: drop mails without Subject: [Antispam page]
  int16_t spamNoSubject;
  // 37169: drop mails whose To: and Cc: do not contain myAddress [Antispam page]
  int16_t spamNotToMe;
  // 37171: forwarding of this account is suspended by remote control [Server page]
  int16_t remoteSuspended;
  // 37173: set to the record's own index at every load [kept by the program, not edited]
  int16_t accountIndex;
  // 37175: remote-control mails to this account are not obeyed [Advanced Options page]
  int16_t ignoreRemoteControl;
  // 37177: unused: zero in a fresh record, kept as read
  uint8_t unused37177[2];
  // 37179: half-width katakana are JIS-encoded [Advanced Options page]
  int16_t encodeHalfwidthKana;
  // 37181: wait smtpDelaySec before each SMTP connection [Server page]
  int16_t smtpDelayOn;
  // 37183: the SMTP wait in seconds [Server page]
  int16_t smtpDelaySec;
  // 37185: UTF-8 and UTF-7 mails are converted to JIS [Advanced Options page]
  int16_t unicodeToJis;
  // 37187: do not send Subject: [Advanced Options page]
  int16_t dropSubjectHeader;
  // 37189: the account starts in the remote-suspended state [Advanced Options page]
  int16_t startRemoteOff;
  // 37191: a mail refused with SMTP 550 or 552 is not sent again [Advanced Options page]
  int16_t noResendOn550;
  // 37193: keep Disposition-Notification-To: (read-receipt request) [Advanced Options page]
  int16_t sendDispositionNotificationTo;
  // 37195: the program-wide duplicate prevention is not applied to this account [Advanced Options
  // page]
  int16_t noDuplicateCheck;
  // 37197: the "例外1" (exception 1) sub-option of noResendOn550 [Advanced Options page]
  int16_t noResendException1;
  // 37199: cut the subject to limitSubjectBytes bytes (not used with phoneMode) [Advanced Options
  // page]
  int16_t limitSubjectOn;
  // 37201: subject limit in bytes [Advanced Options page]
  int16_t limitSubjectBytes;
  // 37203: hand the fetched mails out one by one over the destinations of forwardTo instead of
  // sending each to all [Server page]
  int16_t apportion;
  // 37205: number of destination addresses while apportioning [kept by the program, not edited]
  int16_t apportionCount;
  // 37207: index of the next destination while apportioning; wraps to 0 [kept by the program, not
  // edited]
  int16_t apportionNext;
  // 37209: forward nothing; delete from the server the mails that the filters would forward
  // [Server page]
  int16_t spamEraser;
  // 37211: sender words [Antispam page]
  char alwaysForwardFrom[384];
  // 37595: senders listed in alwaysForwardFrom bypass all filters [Antispam page]
  int16_t alwaysForwardFromOn;
  // 37597: sub-option of fromIsMe: do not add the original sender's information to the top of the
  // body [Advanced Options page]
  int16_t noOriginalSenderInfo;
  // 37599: forward only MIME mails that carry attachments [Advanced Options page]
  int16_t onlyWithAttachments;
  // 37601: POP3 over TLS [Server page]
  int16_t popSsl;
  // 37603: SMTP over TLS [Server page]
  int16_t smtpSsl;
  // 37605: POP-before-SMTP over TLS [Server page]
  int16_t pbsSsl;
  // 37607: reduce addresses to the bare address, without display names [Advanced Options page]
  int16_t stripAddressComments;
  // 37609: drop mails whose From: and To: hold only myAddress [Antispam page]
  int16_t spamOnlyMeInFromTo;
  // 37611: with onlyWithAttachments: forward only the attached files, without the message text
  // [Advanced Options page]
  int16_t attachmentsOnly;
  // 37613: the character-set condition also tests the character set of the encoded subject
  // [Filters page]
  int16_t filterSubjectCharset;
  // 37615: read-receipt notification mails are forwarded [Advanced Options page]
  int16_t forwardReadReceipts;
  // 37617: add Errors-To: with myAddress [Advanced Options page]
  int16_t addErrorsTo;
  // 37619: convert the HTML part to plain text [Part Processing page]
  int16_t htmlToText;
  // 37621: bodies of split (message/partial) mails are not forwarded [Advanced Options page]
  int16_t dropSplitBodies;
  // 37623: at the next check, record every mail on the server as forwarded without forwarding it,
  // then clear this flag [Server page]
  int16_t markAllForwardedNext;
  // 37625: do not insert line breaks automatically [Advanced Options page]
  int16_t noAutoCrlf;
  // 37627: HTML to text keeps the targets of a href= [Part Processing page]
  int16_t extractLinks;
  // 37629: do not send References: [Advanced Options page]
  int16_t dropReferencesHeader;
  // 37631: sub-option of subjectPrefixOn ("元の件名を消去する"): the subject consists of the prefix alone,
  // the original subject is dropped [Advanced Options page]
  int16_t removeOriginalSubject;
  // 37633: HTML to text keeps title= texts of links and images [Part Processing page]
  int16_t extractTitles;
  // 37635: HTML to text keeps alt= texts of images [Part Processing page]
  int16_t extractImageAlt;
  // 37637: no receive-delay adjustment [Advanced Options page]
  int16_t noRecvDelay;
  // 37639: no send-delay adjustment [Advanced Options page]
  int16_t noSendDelay;
  // 37641: use UTF-8 when converting HTML [Advanced Options page]
  int16_t htmlUseUtf8;
  // 37643: base64 transfer encoding for converted HTML [Advanced Options page]
  int16_t htmlBase64;
  // 37645: set to the record's own index (0..399) at every load; the log functions print it [kept
  // by the program, not edited]
  int16_t accountNumber;
  // 37647: row of the account in the main window's account list, set when the list is rebuilt; −1
  // when the account is not listed [kept by the program, not edited]
  int16_t listRow;
  // 37649: 1 AND, 0 OR [Filters page]
  int16_t filterFromAll;
  // 37651: 1 AND, 0 OR [Filters page]
  int16_t filterToAll;
  // 37653: 1 AND, 0 OR [Filters page]
  int16_t filterCcAll;
  // 37655: 1 AND, 0 OR [Filters page]
  int16_t filterSubjectAll;
  // 37657: the mail-program condition reads 1 = User-Agent:, 0 = X-Mailer: [Filters page]
  int16_t filterMailerUserAgent;
  // 37659: strict UTF-8 validity check [Advanced Options page]
  int16_t strictUtf8;
  // 37661: the notice that the mailbox holds more mails than the maximum has been sent for this
  // account; cleared at start-up [kept by the program, not edited]
  int16_t overflowNotified;
  // 37663: accept a server certificate that fails verification (POP3, SMTP and POP before SMTP)
  // [Server page]
  int16_t tlsNoVerify;
  // 37665: send over the SMTP port only after STARTTLS (RFC 3207) with the verified handshake
  // of smtpSsl; never falls back to plain text [Server page]
  int16_t smtpStartTls;
  // 37667: log in to the POP3 server only after STLS (RFC 2595), likewise [Server page]
  int16_t popStartTls;
  // 37669: unused: zero in a fresh record, kept as read
  uint8_t unused37669[54];
};
#pragma pack(pop)

static_assert(sizeof(AccountSettings) == kAccountSettingsSize);

// Every member in order with its offset in the file, pinned as the common
// record's are (see VELNORA_COMMON_LAYOUT).
#define VELNORA_ACCOUNT_LAYOUT(X) \
  X(smtpServer, 0) \
  X(smtpAuth, 256) \
  X(smtpAuthPassword, 258) \
  X(smtpAuthUser, 322) \
  X(myAddress, 386) \
  X(forwardTo, 642) \
  X(popServer, 4738) \
  X(popUser, 4994) \
  X(popPassword, 5058) \
  X(enabled, 5122) \
  X(accountName, 5123) \
  X(unused5377, 5377) \
  X(phoneMode, 5381) \
  X(phoneAddSenderName, 5383) \
  X(phoneAddSubject, 5385) \
  X(unused5387, 5387) \
  X(phoneRemoveCitations, 5389) \
  X(phoneKeepFirstCitation, 5391) \
  X(phoneCitationPrefixes, 5393) \
  X(phoneCutOriginalMessage, 6417) \
  X(phoneCutOriginalLines, 6421) \
  X(phoneRemoveSpaces, 6423) \
  X(phoneRemoveWideSpaces, 6425) \
  X(phoneRemoveBlankLines, 6427) \
  X(phoneRemoveTabs, 6429) \
  X(phoneNoRemovedFileInfo, 6431) \
  X(phoneRemoveRepeats, 6433) \
  X(phoneSplit, 6435) \
  X(phoneSplitBytes, 6437) \
  X(phoneSplitMaxMails, 6439) \
  X(unused6441, 6441) \
  X(phoneAllow8bit, 7467) \
  X(unused7469, 7469) \
  X(phoneNumberSubjects, 7471) \
  X(unused7473, 7473) \
  X(phoneInsertLineBreaks, 7475) \
  X(phoneLineBreakBytes, 7477) \
  X(phoneSplitDelay, 7479) \
  X(phoneSplitDelaySec, 7481) \
  X(phoneCutWord, 7483) \
  X(phoneCutWordLines, 7739) \
  X(phoneCutAtWord, 7741) \
  X(phoneReverseOrder, 7743) \
  X(phoneCutFirstSubject, 7745) \
  X(phoneSubjectBytes, 7747) \
  X(phoneEndMarks, 7749) \
  X(phoneBodyInSubject, 7751) \
  X(phoneSplitAnywhere, 7753) \
  X(phoneCompactWords, 7755) \
  X(phoneConvertBody, 7757) \
  X(phoneConvertLinefeed, 7759) \
  X(phoneKeepReFw, 7761) \
  X(phoneConvertSubject, 7763) \
  X(phoneCountFrom, 7765) \
  X(phoneCountSubject, 7767) \
  X(phoneCountReplyTo, 7769) \
  X(phoneNoCountLf, 7771) \
  X(phoneUtf8, 7773) \
  X(phoneReplaceDeviceChars, 7775) \
  X(lastCheckTime, 7777) \
  X(unused7797, 7797) \
  X(popPort, 7979) \
  X(smtpPort, 7981) \
  X(pollInterval, 7983) \
  X(partProcessing, 7985) \
  X(oversizeStripAttachments, 7987) \
  X(oversizeDrop, 7989) \
  X(filterFromOn, 7991) \
  X(filterToOn, 7993) \
  X(filterCcOn, 7995) \
  X(oversizeKb, 7997) \
  X(filterFrom, 8001) \
  X(filterTo, 12099) \
  X(filterCc, 16197) \
  X(preferHtmlPart, 20295) \
  X(unused20297, 20297) \
  X(reversePopOrder, 20299) \
  X(fromIsMe, 20301) \
  X(filterSubjectOn, 20303) \
  X(filterMailerOn, 20305) \
  X(filterDateOn, 20307) \
  X(filterContentTypeOn, 20309) \
  X(filterSubject, 20311) \
  X(filterMailer, 24409) \
  X(filterDate, 28507) \
  X(filterContentType, 32605) \
  X(noForwardFromDest, 36703) \
  X(addMyDomain, 36705) \
  X(phoneShortenSubject, 36707) \
  X(skipRemainingAtStartup, 36709) \
  X(filterMode, 36711) \
  X(deleteAfterForward, 36713) \
  X(deleteIncludingFiltered, 36715) \
  X(dropMessageIdHeader, 36717) \
  X(dropDateHeader, 36719) \
  X(addResentHeaders, 36721) \
  X(forwardSmtpErrorMails, 36723) \
  X(unused36725, 36725) \
  X(dropFromHeader, 36727) \
  X(spamNoTo, 36729) \
  X(toIsFirstDest, 36731) \
  X(useApop, 36733) \
  X(noUidlActive, 36735) \
  X(noUidl, 36737) \
  X(useSchedule, 36739) \
  X(scheduleStops, 36741) \
  X(scheduleDropArrivals, 36769) \
  X(convertAllHtmlParts, 36771) \
  X(nonBlocking, 36773) \
  X(mailNumber, 36775) \
  X(dropSenderHeader, 36777) \
  X(dropReplyToHeader, 36779) \
  X(dropToHeader, 36781) \
  X(dropCcHeader, 36783) \
  X(mailFromIsSender, 36785) \
  X(sendReceivedHeaders, 36787) \
  X(sendXMailer, 36789) \
  X(useSeparateSmtp, 36791) \
  X(separateSmtpSender, 36793) \
  X(popBeforeSmtp, 36857) \
  X(pbsUser, 36859) \
  X(pbsPassword, 36923) \
  X(pbsApop, 36987) \
  X(pbsServer, 36989) \
  X(pbsPort, 37053) \
  X(popDelayOn, 37055) \
  X(ccAllDests, 37057) \
  X(keepExtensionsOn, 37059) \
  X(keepExtensions, 37061) \
  X(subjectPrefixOn, 37125) \
  X(subjectPrefix, 37127) \
  X(noForwardFromMe, 37143) \
  X(senderIsFrom, 37145) \
  X(sendXHeaders, 37147) \
  X(popDelaySec, 37149) \
  X(spamNoDate, 37151) \
  X(spamNoFrom, 37153) \
  X(spamNoCc, 37155) \
  X(spamNoMessageId, 37157) \
  X(spamNoReplyTo, 37159) \
  X(spamNoXMailer, 37161) \
  X(spamNoContentType, 37163) \
  X(spamNoMimeVersion, 37165) \
  X(spamNoSubject, 37167) \
  X(spamNotToMe, 37169) \
  X(remoteSuspended, 37171) \
  X(accountIndex, 37173) \
  X(ignoreRemoteControl, 37175) \
  X(unused37177, 37177) \
  X(encodeHalfwidthKana, 37179) \
  X(smtpDelayOn, 37181) \
  X(smtpDelaySec, 37183) \
  X(unicodeToJis, 37185) \
  X(dropSubjectHeader, 37187) \
  X(startRemoteOff, 37189) \
  X(noResendOn550, 37191) \
  X(sendDispositionNotificationTo, 37193) \
  X(noDuplicateCheck, 37195) \
  X(noResendException1, 37197) \
  X(limitSubjectOn, 37199) \
  X(limitSubjectBytes, 37201) \
  X(apportion, 37203) \
  X(apportionCount, 37205) \
  X(apportionNext, 37207) \
  X(spamEraser, 37209) \
  X(alwaysForwardFrom, 37211) \
  X(alwaysForwardFromOn, 37595) \
  X(noOriginalSenderInfo, 37597) \
  X(onlyWithAttachments, 37599) \
  X(popSsl, 37601) \
  X(smtpSsl, 37603) \
  X(pbsSsl, 37605) \
  X(stripAddressComments, 37607) \
  X(spamOnlyMeInFromTo, 37609) \
  X(attachmentsOnly, 37611) \
  X(filterSubjectCharset, 37613) \
  X(forwardReadReceipts, 37615) \
  X(addErrorsTo, 37617) \
  X(htmlToText, 37619) \
  X(dropSplitBodies, 37621) \
  X(markAllForwardedNext, 37623) \
  X(noAutoCrlf, 37625) \
  X(extractLinks, 37627) \
  X(dropReferencesHeader, 37629) \
  X(removeOriginalSubject, 37631) \
  X(extractTitles, 37633) \
  X(extractImageAlt, 37635) \
  X(noRecvDelay, 37637) \
  X(noSendDelay, 37639) \
  X(htmlUseUtf8, 37641) \
  X(htmlBase64, 37643) \
  X(accountNumber, 37645) \
  X(listRow, 37647) \
  X(filterFromAll, 37649) \
  X(filterToAll, 37651) \
  X(filterCcAll, 37653) \
  X(filterSubjectAll, 37655) \
  X(filterMailerUserAgent, 37657) \
  X(strictUtf8, 37659) \
  X(overflowNotified, 37661) \
  X(tlsNoVerify, 37663) \
  X(smtpStartTls, 37665) \
  X(popStartTls, 37667) \
  X(unused37669, 37669)
#define VELNORA_PIN_ACCOUNT(member, at) static_assert(offsetof(AccountSettings, member) == (at), #member);
VELNORA_ACCOUNT_LAYOUT(VELNORA_PIN_ACCOUNT)
#undef VELNORA_PIN_ACCOUNT

#pragma pack(push, 1)
struct AccountExtraSettings {
  // 0: senders whose From: address is replaced by myAddress in the forwarded mail [Antispam page]
  char replaceFromList[1024];
  // 1024: replaceFromList in force [Antispam page]
  int16_t replaceFromOn;
  // 1026: append the original sender address ("From: ***") to the end of the subject [Antispam
  // page]
  int16_t appendSenderToSubject;
  // 1028: unused: zero in a fresh record, kept as read
  uint8_t unused1028[8190];
};
#pragma pack(pop)

static_assert(sizeof(AccountExtraSettings) == kAccountExtraSettingsSize);

// Every member in order with its offset in the file (see VELNORA_COMMON_LAYOUT).
#define VELNORA_EXTRA_LAYOUT(X) \
  X(replaceFromList, 0) \
  X(replaceFromOn, 1024) \
  X(appendSenderToSubject, 1026) \
  X(unused1028, 1028)
#define VELNORA_PIN_EXTRA(member, at) static_assert(offsetof(AccountExtraSettings, member) == (at), #member);
VELNORA_EXTRA_LAYOUT(VELNORA_PIN_EXTRA)
#undef VELNORA_PIN_EXTRA

}  // namespace velnora
