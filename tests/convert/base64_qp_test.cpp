#include <gtest/gtest.h>

#include <cstdio>

#include "convert/base64.h"
#include "convert/quoted_printable.h"
#include "convert_test_util.h"

namespace velnora {
namespace {

using test::InPlace;
using test::Into;

std::string B64Decode(std::string_view text) {
  return InPlace(text, [](std::span<char> t) { Base64DecodeText(t); });
}

std::string QpDecode(std::string_view text) {
  return InPlace(text, [](std::span<char> t) { QuotedPrintableDecodeText(t); });
}

TEST(Base64DecodeText, DecodesAndTolerates) {
  const std::pair<std::string, std::string> cases[] = {
      {"SGVsbG8=", "Hello"},
      {"SGVs\r\nbG8g d29y bGQ=", "Hello world"},
      {"SGVsbG8", "Hello"},          // group cut short still yields its bytes
      {"SGVsbA", "Hel" "l"},
      {"S*G!V-s", "Hel"},             // foreign characters vanish
      {"QQ==QQ==", "A"},              // the zero padding ends the text
      {"AABB", ""},                   // leading zero byte: empty text
      {"", ""},
      {"=", ""},
      {"Q", "@"},                     // one character: its six bits
      {"/w", "\xFF"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(B64Decode(in), out) << in;
}

TEST(Base64DecodeText, OddLengthNeverWritesPastTheText) {
  // "/" alone gives 0xFC and a partial 0xF0: only as many bytes as the
  // buffer holds are written.
  std::vector<char> buffer = {'/'};
  EXPECT_EQ(Base64DecodeText(std::span<char>(buffer)), 1u);
  EXPECT_EQ(buffer[0], '\xFC');
  std::vector<char> two = {'/', '/'};
  EXPECT_EQ(Base64DecodeText(std::span<char>(two)), 2u);
  EXPECT_EQ(std::string(two.data(), 2), "\xFF\xF0");
}

// Binary data and UTF-16 text keep their zero bytes; padding adds none.
TEST(Base64DecodeBytes, KeepsZeroBytes) {
  const std::pair<std::string, std::string> cases[] = {
      {"//5IAGkA", std::string("\xff\xfeH\0i\0", 6)},
      {"AAEC\r\nAw==", std::string("\0\1\2\3", 4)},
      {"QQ==", "A"},
      {"QUI=", "AB"},
      {"QQ", "A"},  // a group cut short carries only its whole bytes
  };
  for (const auto& [in, want] : cases) {
    std::string buffer = in;
    const std::size_t length = Base64DecodeBytes(std::span<char>(buffer.data(), buffer.size() + 1));
    EXPECT_EQ(buffer.substr(0, length), want) << in;
  }
}

TEST(Base64Encode, StandardPaddingAndBounds) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"\xFF\xFE", "//4="},
  };
  for (const auto& [in, out] : cases) {
    EXPECT_EQ(Into(64, [&](std::span<char> d) { Base64EncodeBytes(std::span<const char>(in.data(), in.size()), d); }),
              out);
  }
  std::string withZero("a\0b", 3);
  EXPECT_EQ(Into(64, [&](std::span<char> d) { Base64EncodeBytes(std::span<const char>(withZero), d); }), "YQBi");
  EXPECT_EQ(Into(8, [&](std::span<char> d) { Base64EncodeBytes(std::span<const char>("foobarbaz", 9), d); }),
            "Zm9v");  // whole groups only
}

TEST(Base64EncodeBounded, StopsBeforeSizeMinusTwelve) {
  std::string src(30, 'x');
  std::vector<char> dest(100);
  std::size_t size = 20;  // groups start while output < 8
  ASSERT_EQ(Base64EncodeBounded(src.data(), 30, std::span<char>(dest), &size), 0);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(std::string(dest.data()), "eHh4eHh4");
  ASSERT_EQ(Base64EncodeBounded(src.data(), 30, std::span<char>(dest), nullptr), 0);
  EXPECT_EQ(std::string(dest.data()), std::string(40, 'x').replace(0, 40, "eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4"));
  std::vector<char> tight(13);
  size = 13;
  ASSERT_EQ(Base64EncodeBounded(src.data(), 30, std::span<char>(tight), &size), 0);
  EXPECT_EQ(size, 4u);
}

TEST(Base64EncodeBounded, RejectsBadArguments) {
  std::vector<char> dest(16);
  std::size_t size = 16;
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  EXPECT_EQ(Base64EncodeBounded(nullptr, 3, std::span<char>(dest), &size), -1);
  EXPECT_EQ(Base64EncodeBounded("abc", 0, std::span<char>(dest), &size), -1);
  EXPECT_EQ(Base64EncodeBounded("abc", 3, std::span<char>(), &size), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // nothing past the reporter
}

TEST(WrapBase64Lines, SeventyTwoCharacterLines) {
  std::string src(144, 'A');
  std::string line(72, 'A');
  EXPECT_EQ(Into(512, [&](std::span<char> d) { WrapBase64Lines(src, d); }), line + "\r\n" + line + "\r\n\r\n");
  EXPECT_EQ(Into(512, [&](std::span<char> d) { WrapBase64Lines("abc", d); }), "abc\r\n");
  // Characters that would reach the size minus 8 are dropped.
  EXPECT_EQ(Into(12, [&](std::span<char> d) { WrapBase64Lines(src, d); }), "AAAA\r\n");
  EXPECT_EQ(Into(3, [&](std::span<char> d) { WrapBase64Lines(src, d); }), "\r\n");
  EXPECT_EQ(Into(2, [&](std::span<char> d) { WrapBase64Lines(src, d); }), "");
}

TEST(QuotedPrintableDecodeText, Rules) {
  const std::pair<std::string, std::string> cases[] = {
      {"A=\r\nB=3d=00C=", "AB=C"},
      {"caf=C3=A9", "caf\xC3\xA9"},
      {"lower =e9", "lower \xE9"},
      {"a=\nb", "a=\nb"},           // "=" LF is not a soft break
      {"a=zzb", "a=zzb"},           // not hex: literal "="
      {"a=4", "a4"},                // "=" too close to the end is dropped
      {"x=", "x"},
      {"=", ""},
      {"l1\n..dot", "l1\n.dot"},    // dot-stuffing undone
      {"ab!\r\n cd", "abcd"},
      {"a=\r", "a"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(QpDecode(in), out) << in;
}

TEST(QEncodeText, EscapesHighBytesAndEquals) {
  EXPECT_EQ(Into(64, [](std::span<char> d) { QEncodeText("a=b \xE9?_", d); }), "a=3Db =E9?_");
  // An escape is written whole or not at all.
  EXPECT_EQ(Into(5, [](std::span<char> d) { QEncodeText("ab\xE9\xE9", d); }), "ab");
  EXPECT_EQ(Into(6, [](std::span<char> d) { QEncodeText("ab\xE9\xE9", d); }), "ab=E9");
}

}  // namespace
}  // namespace velnora
