// Attachment file names in every header form, and what a notice makes of
// them: decoded, free of control characters, labelled by their bytes.
#include <gtest/gtest.h>

#include <string>

#include "engine/content/content_text.h"

namespace velnora {
namespace {

struct NameCase {
  const char* name;
  std::string headers;
  std::string raw;  // as FileNameParameter returns it
};

const NameCase kNameCases[] = {
    {"quoted", "Content-Disposition: attachment; filename=\"a b.pdf\"\r\n", "a b.pdf"},
    {"token, more parameters", "Content-Disposition: attachment; filename=plain.txt; size=3\r\n",
     "plain.txt"},
    {"Content-Type name", "Content-Type: application/pdf; name=\"n.pdf\"\r\n", "n.pdf"},
    {"filename wins over name",
     "Content-Type: application/pdf; name=\"n.pdf\"\r\nContent-Disposition: attachment; "
     "filename=\"f.pdf\"\r\n",
     "f.pdf"},
    {"RFC 2231 value", "Content-Disposition: attachment; filename*=UTF-8''%E5%A0%B1.pdf\r\n",
     "=?UTF-8?B?5aCxLnBkZg==?="},
    {"RFC 2231 sections",
     "Content-Disposition: attachment; filename*0*=UTF-8'ja'%E5%A0;\r\n filename*1*=%B1.pdf\r\n",
     "=?UTF-8?B?5aCxLnBkZg==?="},
    {"plain sections", "Content-Disposition: attachment; filename*0=\"long\"; filename*1=\"name.txt\"\r\n",
     "longname.txt"},
    {"other attributes ending in name", "Content-Disposition: attachment; myname=x; xname=\"y\"\r\n", ""},
    {"folded", "Content-Disposition: attachment;\r\n\tfilename=\r\n \"a.pdf\"\r\n", "a.pdf"},
    {"escaped quote", "Content-Disposition: attachment; filename=\"a\\\"b.pdf\"\r\n", "a\"b.pdf"},
    {"no name", "Content-Disposition: inline\r\n", ""},
    {"bounded", "Content-Disposition: attachment; filename=" + std::string(2000, 'x') + "\r\n",
     std::string(997, 'x')},
};

TEST(FileNameParameter, EveryHeaderForm) {
  for (const NameCase& c : kNameCases) {
    EXPECT_EQ(FileNameParameter(c.headers), c.raw) << c.name;
  }
}

struct DecodeCase {
  const char* name;
  std::string raw;
  std::string text;  // decoded, local code page
  CharsetCode code;
  std::string notice;  // as a notice carries it
  CharsetCode noticeCode;
};

const DecodeCase kDecodeCases[] = {
    {"ISO-2022-JP word", "=?ISO-2022-JP?B?GyRCSnM5cBsoQg==?=.pdf", "\x95\xf1\x8d\x90.pdf",
     charset::kShiftJis, "\x1b$BJs9p\x1b(B.pdf", charset::kIso2022Jp},
    {"RFC 2231 UTF-8", "=?UTF-8?B?5aCxLnBkZg==?=", "\x95\xf1.pdf", charset::kShiftJis,
     "\x1b$BJs\x1b(B.pdf", charset::kIso2022Jp},
    {"raw UTF-8 bytes", "\xe5\xa0\xb1\xe5\x91\x8a.pdf", "\x95\xf1\x8d\x90.pdf", charset::kShiftJis,
     "\x1b$BJs9p\x1b(B.pdf", charset::kIso2022Jp},
    {"line breaks cannot open a part", "=?UTF-8?B?YQ0KLS1iDQpiLnBkZg==?=", "a__--b__b.pdf",
     charset::kUsAscii, "a__--b__b.pdf", charset::kUsAscii},
    // The header decoder drops a NUL itself.
    {"NUL, ESC and DEL", "=?UTF-8?Q?x=00y=1B=7Fz?=", "xy__z", charset::kUsAscii, "xy__z",
     charset::kUsAscii},
    {"ASCII", "report.pdf", "report.pdf", charset::kUsAscii, "report.pdf", charset::kUsAscii},
};

TEST(DecodeFileName, DecodedCleanedAndLabelled) {
  for (const DecodeCase& c : kDecodeCases) {
    SCOPED_TRACE(c.name);
    const FileName name = DecodeFileName(c.raw);
    EXPECT_EQ(name.text, c.text);
    EXPECT_EQ(name.code, c.code);
    const FileName notice = NoticeFileName(name);
    EXPECT_EQ(notice.text, c.notice);
    EXPECT_EQ(notice.code, c.noticeCode);
  }
}

}  // namespace
}  // namespace velnora
