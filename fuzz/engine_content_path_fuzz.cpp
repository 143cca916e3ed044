// Drives a received message along the whole content path: loader,
// ParseMailContent, the filter stage with its MIME or single-part
// processing, and composition of the part files. The first eight bytes
// choose the account's content switches. The received body must stay as it
// was, and every part file must be a message whose header is whole lines
// and whose 7bit label tells the truth about its body.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "config/settings_image.h"
#include "convert/charset_code.h"
#include "convert/convert_options.h"
#include "engine/compose/compose.h"
#include "engine/compose/compose_input.h"
#include "engine/filter/mail_filter.h"
#include "engine/forward/temp_files.h"
#include "engine/message/byte_strings.h"
#include "engine/message/header_parse.h"
#include "engine/message/mail_message.h"
#include "engine/message/message_load.h"
#include "fuzz_message_scene.h"
#include "fuzz_quiet.h"
#include "fuzz_support.h"
#include "report/activity_log.h"

namespace {

using namespace velnora;

using Scene = fuzz::MessageScene;

Scene& TheScene() {
  static Scene scene;
  return scene;
}

int16_t Flag(uint64_t switches, int n) { return int16_t((switches >> n) & 1); }

void ConfigureAccount(AccountSettings& a, uint64_t s) {
  a = AccountSettings{};
  fuzz::SetText(a.accountName, "fuzz");
  fuzz::SetText(a.myAddress, "me@velnora.test");
  fuzz::SetText(a.forwardTo, "dest@velnora.test");
  fuzz::SetText(a.keepExtensions, ".pdf .TXT *x");
  fuzz::SetText(a.phoneCutWord, "cut \x83\x41");
  a.partProcessing = Flag(s, 0);
  a.oversizeKb = Flag(s, 1) ? 0 : 4096;  // everything, or nothing, is oversize
  a.oversizeDrop = Flag(s, 2);
  a.preferHtmlPart = Flag(s, 3);
  a.htmlToText = Flag(s, 4);
  a.convertAllHtmlParts = Flag(s, 5);
  a.keepExtensionsOn = Flag(s, 6);
  a.onlyWithAttachments = Flag(s, 7);
  a.attachmentsOnly = Flag(s, 8);
  a.dropSplitBodies = Flag(s, 9);
  a.unicodeToJis = Flag(s, 10);
  a.strictUtf8 = Flag(s, 11);
  a.forwardSmtpErrorMails = Flag(s, 12);
  a.htmlUseUtf8 = Flag(s, 13);
  a.htmlBase64 = Flag(s, 14);
  a.extractLinks = Flag(s, 15);
  a.noAutoCrlf = Flag(s, 16);
  a.phoneMode = Flag(s, 17);
  a.phoneAllow8bit = Flag(s, 18);
  a.phoneNoRemovedFileInfo = Flag(s, 19);
  a.phoneReplaceDeviceChars = Flag(s, 20);
  a.phoneInsertLineBreaks = Flag(s, 21);
  a.phoneLineBreakBytes = int16_t((s >> 22) & 63);
  a.phoneRemoveCitations = Flag(s, 28);
  a.phoneKeepFirstCitation = Flag(s, 29);
  a.phoneCutOriginalMessage = Flag(s, 30);
  a.phoneCutOriginalLines = int16_t((s >> 31) & 3);
  a.phoneCutAtWord = Flag(s, 33);
  a.phoneCutWordLines = int16_t(int((s >> 34) & 3) - 1);
  a.phoneRemoveSpaces = Flag(s, 36);
  a.phoneRemoveTabs = Flag(s, 37);
  a.phoneRemoveWideSpaces = Flag(s, 38);
  a.phoneRemoveRepeats = Flag(s, 39);
  a.phoneRemoveBlankLines = Flag(s, 40);
  a.phoneCompactWords = Flag(s, 41);
  a.phoneConvertLinefeed = Flag(s, 42);
  a.phoneSplit = Flag(s, 43);
  a.phoneSplitBytes = int16_t(Flag(s, 44) ? 64 : 2000);
  a.phoneSplitMaxMails = int16_t(1 + ((s >> 45) & 7));
  a.phoneSplitAnywhere = Flag(s, 48);
  a.phoneEndMarks = Flag(s, 49);
  a.phoneBodyInSubject = Flag(s, 50);
  a.phoneAddSubject = Flag(s, 51);
  a.phoneAddSenderName = Flag(s, 52);
  a.phoneConvertBody = Flag(s, 53);
  a.phoneUtf8 = Flag(s, 54);
  a.phoneNoCountLf = Flag(s, 55);
  a.filterMode = 0;
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A part file: the envelope line, the header in whole CR LF lines, an
// empty line, the body; no 8-bit byte under a 7bit label.
void CheckPartFile(const std::string& text) {
  const std::size_t end = text.find("\r\n\r\n");
  FUZZ_CHECK(end != std::string::npos);
  const std::string_view header(text.data(), end + 2);
  for (std::size_t at = 0; at < header.size(); ++at) {
    FUZZ_CHECK(header[at] != '\0');
    if (header[at] == '\n') FUZZ_CHECK(at > 0 && header[at - 1] == '\r');
    if (header[at] == '\r') FUZZ_CHECK(at + 1 < header.size() && header[at + 1] == '\n');
  }
  if (FindNoCase(header, "\r\nContent-Transfer-Encoding: 7bit\r\n") != kNotFound) {
    FUZZ_CHECK(!HasEightBitByte(std::string_view(text).substr(end + 4)));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size < 8) return 0;
  Scene& scene = TheScene();
  uint64_t switches = 0;
  std::memcpy(&switches, bytes, 8);
  AccountSettings& account = scene.settings->accounts[0];
  ConfigureAccount(account, switches);
  scene.WriteMessage(bytes + 8, size - 8);
  MailMessage message;
  if (LoadMessageFile(scene.messagePath, message, *scene.log, account) != LoadStatus::Loaded) return 0;
  ParseMailContent(message);
  const std::string received(message.Body());

  platform::CalendarTime now;
  now.year = 2026;
  now.month = 12;
  now.day = 9;
  FilterScope scope{*scene.settings, *scene.log, now, nullptr};
  const int forward = MailFilterProc(scope, message, 0);
  FUZZ_CHECK(message.Body() == received);
  if (!forward) return 0;

  ComposeStamps stamps{"Wed, 09 Dec 2026 10:00:00 +0900", "261209-100000", 0x1234};
  const ConvertOptions options{};
  ComposeInput input{account, scene.settings->extras[0], scene.settings->common, options,
                     scene.folder, nullptr, stamps, scene.settings.get()};
  if (ComposeSentMail(input, message) != 1) return 0;
  FUZZ_CHECK(message.partNumber >= 1);
  for (int n = 0; n < message.partNumber; ++n) {
    const std::string path = OutgoingPartPath(scene.folder + "/", n);
    CheckPartFile(FileText(path));
    std::remove(path.c_str());
  }
  return 0;
}
