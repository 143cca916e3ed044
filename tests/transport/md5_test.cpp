#include "transport/md5.h"

#include <gtest/gtest.h>

#include <string>

namespace velnora {
namespace {

struct Md5Case {
  std::string text;
  const char* hex;
};

TEST(Md5, Rfc1321TestSuite) {
  const Md5Case cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& c : cases) {
    std::string out;
    Md5Hex(c.text, out);
    EXPECT_EQ(out, c.hex) << "text: " << c.text;
  }
}

TEST(Md5, HexIsAppendedToWhatTheCallerHolds) {
  std::string out = "APOP user ";
  Md5Hex("abc", out);
  EXPECT_EQ(out, "APOP user 900150983cd24fb0d6963f7d28e17f72");
}

TEST(Md5, UpdateInPiecesEqualsOneUpdate) {
  // Pieces that straddle the 64-byte block and the 56-byte padding border.
  std::string text(1000, '\0');
  for (size_t i = 0; i < text.size(); ++i) text[i] = char(i * 7 + 3);
  const Md5Digest whole = Md5(text);
  for (size_t piece : {1u, 3u, 55u, 56u, 63u, 64u, 65u, 127u}) {
    Md5Context context;
    Md5Init(context);
    for (size_t at = 0; at < text.size(); at += piece) {
      Md5Update(context, text.data() + at, std::min(piece, text.size() - at));
    }
    Md5Digest digest;
    Md5Final(digest.data(), context);
    EXPECT_EQ(digest, whole) << "piece " << piece;
  }
}

TEST(Md5, FinalWipesTheContext) {
  Md5Context context;
  Md5Init(context);
  Md5Update(context, "secret", 6);
  uint8_t digest[kMd5DigestSize];
  Md5Final(digest, context);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&context);
  for (size_t i = 0; i < sizeof context; ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
}

struct HmacCase {
  std::string key;
  std::string data;
  const char* hex;
};

TEST(HmacMd5, Rfc2104AndRfc2202Vectors) {
  const HmacCase cases[] = {
      {std::string(16, '\x0b'), "Hi There", "9294727a3638bb1c13f48ef8158bfc9d"},
      {"Jefe", "what do ya want for nothing?", "750c783e6ab0b503eaa86e310a5db738"},
      {std::string(16, '\xAA'), std::string(50, '\xDD'), "56be34521d144c88dbb8c733f0e8b3f6"},
      {std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12\x13"
                   "\x14\x15\x16\x17\x18\x19",
                   25),
       std::string(50, '\xCD'), "697eaf0aca3a3aea3a75164746ffaa79"},
      {std::string(16, '\x0c'), "Test With Truncation", "56461ef2342edc00f9bab995690efd4c"},
      // Keys longer than one block are hashed first.
      {std::string(80, '\xAA'), "Test Using Larger Than Block-Size Key - Hash Key First",
       "6b1ab7fe4bd7bf8f0b62e6ce61b9d0cd"},
      {std::string(80, '\xAA'),
       "Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data",
       "6f630fad67cda0ee1fb1f562db3aa53e"},
      // CRAM-MD5 example of RFC 2195.
      {"tanstaaftanstaaf", "<1896.697170952@postoffice.reston.mci.net>",
       "b913a602c7eda7a495b4e6e7334d3890"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DigestHex(HmacMd5(c.data, c.key)), c.hex) << "data: " << c.data;
  }
}

TEST(HmacMd5, KeyOfExactlyOneBlockIsUsedUnchangedAndLongerKeysAreHashed) {
  const std::string key64(64, 'k');
  const std::string key65(65, 'k');
  // A 65-byte key equals using its MD5 digest as the key; a 64-byte key does not.
  const Md5Digest hashed = Md5(key65);
  const std::string hashedKey(hashed.begin(), hashed.end());
  EXPECT_EQ(HmacMd5("data", key65), HmacMd5("data", hashedKey));
  const Md5Digest hashed64 = Md5(key64);
  EXPECT_NE(HmacMd5("data", key64),
            HmacMd5("data", std::string(hashed64.begin(), hashed64.end())));
}

}  // namespace
}  // namespace velnora
