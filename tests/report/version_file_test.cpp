#include "report/version_file.h"

#include <gtest/gtest.h>

#include <string>

namespace velnora {
namespace {

TEST(VersionFileTest, OnlyALaterVersionIsAnnounced) {
  const std::string sjisMessage = "\x8D\xC5\x90\x56\x94\xC5";  // 最新版 in Shift_JIS
  const struct {
    std::string body;
    VersionVerdict verdict;
    std::string latest, message, extra;
  } cases[] = {
      {"5.21\r\n" + sjisMessage + "\r\nx\r\n", VersionVerdict::Newer, "5.21", sjisMessage, "x"},
      {"6.00\nnew\nextra", VersionVerdict::Newer, "6.00", "new", "extra"},
      {"5.30", VersionVerdict::Newer, "5.30", "", ""},
      {"5.20\r\nsame\r\n", VersionVerdict::NotNewer, "", "", ""},
      {"5.19\nolder\n", VersionVerdict::NotNewer, "", "", ""},
      {"4.99\nolder\n", VersionVerdict::NotNewer, "", "", ""},
      // Different is not enough: these are no versions at all.
      {"<!DOCTYPE html>\n", VersionVerdict::Unreadable, "", "", ""},
      {"5.2\nshort\n", VersionVerdict::Unreadable, "", "", ""},
      {"5.210\nlong\n", VersionVerdict::Unreadable, "", "", ""},
      {"5,21\nform\n", VersionVerdict::Unreadable, "", "", ""},
      {"", VersionVerdict::Unreadable, "", "", ""},
      // A bare CR ends a line too; a NUL ends the text.
      {"5.21\rcr\rz", VersionVerdict::Newer, "5.21", "cr", "z"},
      {std::string("5.21\nab\0cd\nz", 12), VersionVerdict::Newer, "5.21", "ab", ""},
      // A line of 256 bytes or more is left out, the others stay.
      {"5.21\n" + std::string(256, 'm') + "\nz\n", VersionVerdict::Newer, "5.21", "", "z"},
      {"5.21\n" + std::string(255, 'm') + "\n", VersionVerdict::Newer, "5.21", std::string(255, 'm'), ""},
  };
  for (const auto& c : cases) {
    const VersionFile file = ReadVersionFile(c.body);
    EXPECT_EQ(file.verdict, c.verdict) << c.body;
    EXPECT_EQ(file.latest, c.latest) << c.body;
    EXPECT_EQ(file.message, c.message) << c.body;
    EXPECT_EQ(file.extra, c.extra) << c.body;
  }
}

}  // namespace
}  // namespace velnora
