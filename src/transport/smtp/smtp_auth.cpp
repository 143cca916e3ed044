#include "transport/smtp/smtp_auth.h"

#include <span>

#include "convert/base64.h"
#include "transport/md5.h"

namespace velnora {

SmtpAuthMechanism ChooseAuthMechanism(std::string_view ehloReply) {
  if (ehloReply.find("LOGIN") != std::string_view::npos) return SmtpAuthMechanism::Login;
  if (ehloReply.find("PLAIN") != std::string_view::npos) return SmtpAuthMechanism::Plain;
  if (ehloReply.find("CRAM-MD5") != std::string_view::npos) return SmtpAuthMechanism::CramMd5;
  return SmtpAuthMechanism::None;
}

std::string SmtpBase64(std::string_view bytes) {
  std::string out((bytes.size() + 2) / 3 * 4 + 1, '\0');
  out.resize(Base64EncodeBytes(std::span<const char>(bytes.data(), bytes.size()), out));
  return out;
}

std::string SmtpBase64Decode(std::string_view text) {
  std::string out(text);
  out.push_back('\0');  // the decoder works on NUL-terminated text in place
  out.resize(Base64DecodeText(out));
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
