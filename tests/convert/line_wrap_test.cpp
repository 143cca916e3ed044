// Automatic line breaking: widths and tolerances with literal results, and
// every broken line of East-Asian text decoded strictly by iconv.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "convert/line_wrap.h"
#include "platform/iconv_handle.h"

namespace velnora {
namespace {

std::string Repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out.append(s);
  return out;
}

LineBreakOptions Breaking() {
  LineBreakOptions o;
  o.noAutoCrlf = false;  // width 76, tolerances 84 and 92
  return o;
}

std::string Wrap(std::string_view text, CharsetCode code, const LineBreakOptions& options = Breaking()) {
  std::string out;
  WrapLongLines(text, out, code, options);
  return out;
}

// Converts with iconv; nullopt when any byte sequence is invalid.
std::optional<std::string> Iconv(const char* to, const char* from, std::string_view in) {
  platform::IconvHandle cd(to, from);
  if (!cd.valid()) return std::nullopt;
  std::string out(in.size() * 4 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  if (iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) return std::nullopt;
  if (iconv(cd.get(), nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) return std::nullopt;
  out.resize(out.size() - dstLeft);
  return out;
}

TEST(WrapLongLines, WidthsAndTolerances) {
  struct Case {
    const char* name;
    CharsetCode code;
    std::string text;
    std::string wrapped;
  };
  const std::string a76 = Repeat("a", 76);
  const Case cases[] = {
          {"84 bytes with CR: left alone", charset::kShiftJis, Repeat("a", 83) + "\r\n", Repeat("a", 83) + "\r\n"},
          {"85 bytes: lines of 77", charset::kShiftJis, Repeat("a", 84) + "\r\n", a76 + "a\r\naaaaaaa\r\n"},
          {"double-byte at the 77th byte", charset::kShiftJis, a76 + "\x82\xA0" + "aaaaaaa\r\n",
           a76 + "\x82\xA0\r\naaaaaaa\r\n"},
          {"line of 77 before CR gets no empty line", charset::kShiftJis, a76 + "a\r\n" + Repeat("a", 90),
           a76 + "a\r\n" + a76 + "a\r\n" + Repeat("a", 13) + "\r\n"},
          {"single-byte without spaces after 93", charset::kIso8859First, Repeat("x", 100),
           Repeat("x", 93) + "\r\n" + Repeat("x", 7) + "\r\n"},
          {"single-byte at a space after 77", charset::kIso8859First, Repeat("word ", 20),
           Repeat("word ", 15) + "word\r\n" + Repeat(" word", 4) + " \r\n"},
          {"ISO-2022-KR shift state carried", charset::kIso2022Kr, "\x1B$)C\x0E" + Repeat("!!", 50) + "\x0F",
           "\x1B$)C\x0E" + Repeat("!!", 36) + "\x0F\r\n\x0E" + Repeat("!!", 14) + "\x0F\r\n"},
          {"UTF-8 never broken", charset::kUtf8, Repeat("\xE3\x81\x82", 100), Repeat("\xE3\x81\x82", 100)},
      };
  for (const auto& c : cases) EXPECT_EQ(Wrap(c.text, c.code), c.wrapped) << c.name;
}

TEST(WrapLongLines, PhoneWidthAndCitations) {
  LineBreakOptions phone = Breaking();
  phone.phoneMode = true;
  phone.phoneInsertLineBreaks = true;
  phone.phoneLineBreakBytes = 20;  // tolerance 26 for single-byte text
  phone.phoneRemoveCitations = true;
  EXPECT_EQ(Wrap("> " + Repeat("x", 40), charset::kIso8859First, phone),
            "> " + Repeat("x", 25) + "\r\n>" + Repeat("x", 15) + "\r\n");
  phone.noAutoCrlf = true;  // the phone width applies only without it
  EXPECT_EQ(Wrap(Repeat("x", 40), charset::kIso8859First, phone), Repeat("x", 40));
  phone.phoneCitationPrefixes = "  |  >> ";
  auto prefixes = CitationPrefixes(phone);
  ASSERT_EQ(prefixes.size(), 2u);
  EXPECT_EQ(CitationPrefixOf(prefixes, ">> a"), ">>");
  EXPECT_EQ(CitationPrefixOf(prefixes, "a |"), "");
}

// Text of one character set, shifted by ASCII bytes so that a break by
// byte count alone would land inside characters.
TEST(WrapLongLines, NeverSplitsACharacter) {
  struct Sample {
    CharsetCode code;
    const char* iconvName;
    const char* utf8;
  };
  const Sample samples[] = {
      {charset::kShiftJis, "CP932", "\xE2\x85\xB0\xE9\xAB\x99\xE3\x81\x82"},                  // roman numeral, IBM kanji, kana
      {charset::kEucJp, "EUC-JP", "\xEF\xBD\xB1\xE4\xB8\xA8\xE4\xB9\x82"},                      // half-width kana, JIS X 0212
      {charset::kEucKr, "EUC-KR", "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4"},
      {charset::kKsC5601, "CP949", "\xEB\x98\xA0\xED\x95\x9C"},                                // UHC trail byte 0x63
      {charset::kGbk, "GBK", "\xE4\xB8\x82\xE4\xB8\xAD"},                                      // trail byte 0x40
      {charset::kGb2312, "GBK", "\xE4\xB8\xAD\xE6\x96\x87"},
      {charset::kGb18030, "GB18030", "\xE4\xB8\xAD\xF0\x9F\x98\x80"},                           // four-byte form
      {charset::kEucTw, "EUC-TW", "\xE4\xB9\x82\xE4\xB8\xAD"},                                  // four-byte plane 2
      {charset::kBig5, "BIG5", "\xE4\xB8\x80\xE4\xB8\xAD"},                                     // trail byte 0x40
  };
  for (const auto& s : samples) {
    auto encoded = Iconv(s.iconvName, "UTF-8", "ab" + Repeat(s.utf8, 120) + "\r\nc" + Repeat(s.utf8, 60));
    ASSERT_TRUE(encoded) << s.iconvName;
    std::string wrapped = Wrap(*encoded, s.code);
    std::string joined;
    int lines = 0;
    for (std::size_t start = 0, end; start < wrapped.size(); start = end + 2, ++lines) {
      end = wrapped.find("\r\n", start);
      ASSERT_NE(end, std::string::npos) << s.iconvName;
      std::string_view line(wrapped.data() + start, end - start);
      EXPECT_LE(line.size(), 96u) << s.iconvName;
      EXPECT_TRUE(Iconv("UTF-8", s.iconvName, line)) << s.iconvName << " line " << lines;
      joined.append(line);
    }
    EXPECT_GT(lines, 4) << s.iconvName;
    std::string unbroken = *encoded;
    unbroken.erase(unbroken.find("\r\n"), 2);
    EXPECT_EQ(joined, unbroken) << s.iconvName;  // nothing lost at the end either
  }
}

TEST(WrapLongLines, IsoJapaneseComesOutAsShiftJis) {
  std::string jis = "\x1B$B" + Repeat("$\"", 50) + "\x1B(B";
  std::string out;
  EXPECT_EQ(WrapLongLines(jis, out, charset::kIso2022Jp, Breaking()), charset::kShiftJis);
  EXPECT_EQ(out, Repeat("\x82\xA0", 39) + "\r\n" + Repeat("\x82\xA0", 11) + "\r\n");
}

}  // namespace
}  // namespace velnora
