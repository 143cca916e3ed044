// The console shows untrusted text (server replies, mail headers): control
// characters must reach the terminal only in a visible form.
#include "report/console_reporter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "platform/codepage.h"
#include "report/visible_text.h"

namespace velnora {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string Contents(std::FILE* f) {
  std::string text;
  std::rewind(f);
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  return text;
}

TEST(VisibleTextTest, ControlCharactersBecomeVisible) {
  EXPECT_EQ(VisibleText("a\x1b[2Jb"), "a^[[2Jb");
  EXPECT_EQ(VisibleText(std::string_view("x\0y", 3)), "x^@y");
  EXPECT_EQ(VisibleText("bell\x07 del\x7f tab\t"), "bell^G del^? tab\t");
  EXPECT_EQ(VisibleText("\xC2\x9B" "31m"), "\xEF\xBF\xBD" "31m");  // C1 CSI
  EXPECT_EQ(VisibleText("\xC2\xA9 \xE3\x81\x82"), "\xC2\xA9 \xE3\x81\x82");  // printable kept
  EXPECT_EQ(VisibleText("one\r\ntwo\r"), "one^M^Jtwo^M");
  EXPECT_EQ(VisibleText("one\r\ntwo\r", true), "one\ntwo");
}

TEST(ConsoleReporterTest, RowsAndMessagesArePrintedVisibly) {
  std::unique_ptr<std::FILE, FileCloser> out(std::tmpfile());
  std::unique_ptr<std::FILE, FileCloser> err(std::tmpfile());
  ASSERT_TRUE(out && err);
  ConsoleReporter console(out.get(), err.get(), /*showStatus=*/true, Answer::Yes);

  ActivityRow row;
  row.code = 20;
  row.columns = {"Info", "0 : a", "26/12/08 10:00", "-ERR \x1b]0;owned\x07", SJIS(u8"山田"), " "};
  console.ActivityAdded(row);
  console.StatusChanged("status\x1b[1m", 5);
  EXPECT_EQ(console.Ask("line 1\r\nline 2\x1b", "title"), Answer::Yes);

  const std::string printed = Contents(out.get()) + Contents(err.get());
  EXPECT_EQ(printed.find('\x1b'), std::string::npos);
  EXPECT_EQ(printed.find('\x07'), std::string::npos);
  EXPECT_NE(printed.find("-ERR ^[]0;owned^G"), std::string::npos) << printed;
  EXPECT_NE(printed.find("\xE5\xB1\xB1\xE7\x94\xB0"), std::string::npos);  // UTF-8 for the name
  EXPECT_NE(printed.find("status^[[1m"), std::string::npos);
  EXPECT_NE(printed.find("title: line 1\nline 2^[ -> yes"), std::string::npos) << printed;
}

}  // namespace
}  // namespace velnora
