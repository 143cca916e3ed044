// A fixture for composition tests: one zeroed account with its extra record
// and the common settings, fixed time stamps, a private folder for the part
// files, and helpers that parse a message and read a part file back.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "config/account_settings.h"
#include "config/common_settings.h"
#include "convert/convert_options.h"
#include "engine/compose/compose.h"
#include "engine/message/header_parse.h"
#include "engine/message/mail_message.h"
#include "engine/forward/temp_files.h"
#include "platform/codepage.h"
#include "support/temp_folder.h"
#include "support/test_text.h"

namespace velnora::testing {

class ComposeTest : public ::testing::Test {
 protected:
  ComposeTest()
      : account(std::make_unique<AccountSettings>()),
        extra(std::make_unique<AccountExtraSettings>()),
        common(std::make_unique<CommonSettings>()) {
    SetText(account->myAddress, "me@home.example");
    SetText(account->forwardTo, "dest@far.example");
    SetText(account->accountName, "main");
    stamps.resentDate = "Tue, 08 Dec 2026 19:05:09 +0900";
    stamps.compactStamp = "261208-100509";
    stamps.randomTag = 0x1A2B;
  }

  // Parses `text` as received, as the filter stage hands it over.
  void Load(std::string_view text) {
    EXPECT_TRUE(SetMessageText(message, text));
    ParseMailContent(message);
  }

  // Loads and composes a message whose content goes out as received (the
  // layout that keeps the received Content-Type); the result of the call.
  int Compose(std::string_view text) {
    Load(text);
    message.partLayout = 98;
    return ComposeParsed();
  }

  int ComposeParsed() {
    ComposeInput input{*account, *extra, *common, options, folder.path(), nullptr, stamps};
    return ComposeSentMail(input, message);
  }

  std::string Part(int n = 0) const {
    std::ifstream in(OutgoingPartPath(folder.path() + "/", n), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }

  // The header of part 0 (control line included) up to its empty line.
  std::string Head() const {
    const std::string text = Part();
    return text.substr(0, text.find("\r\n\r\n") + 2);
  }

  std::string BodyOfPart() const {
    const std::string text = Part();
    const std::size_t end = text.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : text.substr(end + 4);
  }

  // The header line that begins with `name`, "" when none does.
  std::string HeaderLine(std::string_view name) const {
    const std::string head = Head();
    std::size_t at = 0;
    while (at < head.size()) {
      std::size_t end = head.find("\r\n", at);
      if (end == std::string::npos) end = head.size();
      if (head.compare(at, name.size(), name) == 0) return head.substr(at, end - at);
      at = end + 2;
    }
    return {};
  }

  std::unique_ptr<AccountSettings> account;
  std::unique_ptr<AccountExtraSettings> extra;
  std::unique_ptr<CommonSettings> common;
  ConvertOptions options;
  ComposeStamps stamps;
  TempFolder folder;
  MailMessage message;
};

}  // namespace velnora::testing
