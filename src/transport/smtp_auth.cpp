#include "transport/smtp_auth.h"

#include <array>

#include "transport/md5.h"

namespace velnora {

SmtpAuthMechanism ChooseAuthMechanism(std::string_view ehloReply) {
  if (ehloReply.find("LOGIN") != std::string_view::npos) return SmtpAuthMechanism::Login;
  if (ehloReply.find("PLAIN") != std::string_view::npos) return SmtpAuthMechanism::Plain;
  if (ehloReply.find("CRAM-MD5") != std::string_view::npos) return SmtpAuthMechanism::CramMd5;
  return SmtpAuthMechanism::None;
}

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int AlphabetIndex(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::string SmtpBase64(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t group = static_cast<uint8_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) group |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) group |= static_cast<uint8_t>(bytes[i + 2]);
    out += kAlphabet[(group >> 18) & 63];
    out += kAlphabet[(group >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(group >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kAlphabet[group & 63] : '=';
  }
  return out;
}

std::string SmtpBase64Decode(std::string_view text) {
  std::string out;
  uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    int value = AlphabetIndex(c);
    if (value < 0) continue;  // padding, blanks and line ends carry no bits
    bits = (bits << 6) | static_cast<uint32_t>(value);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return out;
}

std::string PlainAuthCommand(std::string_view user, std::string_view password) {
  std::string credentials;
  credentials.append(user).push_back('\0');
  credentials.append(user).push_back('\0');
  credentials.append(password);
  return "AUTH PLAIN " + SmtpBase64(credentials) + "\r\n";
}

std::string LoginAuthLine(std::string_view text) { return SmtpBase64(text) + "\r\n"; }

std::string_view CramMd5Challenge(std::string_view reply) {
  if (!reply.starts_with("334 ")) return {};
  std::string_view rest = reply.substr(4);
  return rest.substr(0, rest.find_first_of("\r\n"));
}

std::string CramMd5Response(std::string_view decodedChallenge, std::string_view user,
                            std::string_view password) {
  std::string response(user);
  response += ' ';
  response += DigestHex(HmacMd5(decodedChallenge, password));
  return SmtpBase64(response) + "\r\n";
}

}  // namespace velnora
