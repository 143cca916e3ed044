// The SMTP AUTH exchanges as texts, without I/O: which mechanism an EHLO
// reply leads to, and the client's lines for PLAIN, LOGIN and CRAM-MD5.
// Every line built here carries a secret (Base64 is no protection), so the
// session log gets kMaskedAuthLine instead of any of them.
#pragma once

#include <string>
#include <string_view>

namespace velnora {

enum class SmtpAuthMechanism { None, Login, Plain, CramMd5 };

// A case-sensitive search of the whole EHLO reply, in this order: "LOGIN",
// "PLAIN", "CRAM-MD5" (LOGIN wins wherever it appears).
SmtpAuthMechanism ChooseAuthMechanism(std::string_view ehloReply);

// Base64 without line breaks, and back (a decoded NUL ends the text; no
// challenge or credential text contains one).
std::string SmtpBase64(std::string_view bytes);
std::string SmtpBase64Decode(std::string_view text);

// "AUTH PLAIN " + Base64(user NUL user NUL password) + CR LF.
std::string PlainAuthCommand(std::string_view user, std::string_view password);
// Base64(text) + CR LF, for the LOGIN user and password lines.
std::string LoginAuthLine(std::string_view text);
// The Base64 challenge after "334 " on the first line, up to CR or LF.
std::string_view CramMd5Challenge(std::string_view reply);
// Base64(user + " " + 32 hex digits of HMAC-MD5(password, challenge)) + CR LF.
std::string CramMd5Response(std::string_view decodedChallenge, std::string_view user,
                            std::string_view password);

// What the session log shows for a line that carries credentials.
inline constexpr std::string_view kMaskedAuthLine = "*****\r\n";
inline constexpr std::string_view kMaskedPlainCommand = "AUTH PLAIN *****\r\n";

}  // namespace velnora
