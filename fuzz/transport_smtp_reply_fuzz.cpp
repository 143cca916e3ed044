// Drives the SMTP reply readers with arbitrary server bytes: the scanner
// that finds the end of a (multi-line) reply, judged whole and cut into
// chunks, and what is read out of a reply afterwards: the success test,
// the AUTH mechanism and CRAM-MD5 challenge of EHLO, and the refusal policy.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "transport/smtp/smtp_auth.h"
#include "transport/smtp/smtp_refusal.h"
#include "transport/smtp/smtp_reply.h"

namespace {

using namespace velnora;
using velnora::fuzz::SplitChunks;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A line of the reply (cut at CR and at LF) of the final form "ddd " starts
// at `start`.
bool FinalLineAt(std::string_view reply, std::size_t start) {
  return reply.size() - start >= 4 && IsDigit(reply[start]) && IsDigit(reply[start + 1]) &&
         IsDigit(reply[start + 2]) && reply[start + 3] == ' ';
}

struct FinalLines {
  bool any = false;         // some line has the final form
  bool anyEnded = false;    // ... and a line end follows it
};

FinalLines FindFinalLines(std::string_view reply) {
  FinalLines found;
  bool lineStart = true;
  for (std::size_t i = 0; i < reply.size(); ++i) {
    if (lineStart && FinalLineAt(reply, i)) {
      found.any = true;
      if (reply.find_first_of("\r\n", i) != std::string_view::npos) found.anyEnded = true;
    }
    lineStart = reply[i] == '\r' || reply[i] == '\n';
  }
  return found;
}

void CheckScanner(std::string_view data, uint8_t seed) {
  SmtpReplyScanner whole;
  const bool wholeComplete = whole.Feed(data);
  FUZZ_CHECK(wholeComplete == whole.complete());
  FUZZ_CHECK(ReplyIncomplete(data) == !wholeComplete);

  // As the client reads a reply: block after block until the scanner says
  // the reply is complete.
  SmtpReplyScanner split;
  std::string joined;
  for (std::string_view chunk : SplitChunks(data, seed)) {
    joined += chunk;
    if (split.Feed(chunk)) break;
  }
  FUZZ_CHECK(split.complete() == wholeComplete);
  FUZZ_CHECK(!split.complete() || !ReplyIncomplete(joined));

  const FinalLines lines = FindFinalLines(data);
  if (wholeComplete) FUZZ_CHECK(lines.any);
  if (lines.anyEnded) FUZZ_CHECK(wholeComplete);

  split.Reset();
  FUZZ_CHECK(!split.complete());
}

void CheckReplyReaders(std::string_view reply, uint8_t seed) {
  // A success needs every line to carry the success code, so its first line
  // with text does (the scanner passes over empty lines).
  if (isSMTPReplyOK(reply)) {
    const std::string_view text = reply.substr(std::min(reply.find_first_not_of("\r\n"), reply.size()));
    FUZZ_CHECK(text.starts_with("250") || text.starts_with("220") || text.starts_with("251"));
  }
  const SmtpAuthMechanism mechanism = ChooseAuthMechanism(reply);
  if (mechanism == SmtpAuthMechanism::Login) FUZZ_CHECK(reply.find("LOGIN") != std::string::npos);

  const std::string_view challenge = CramMd5Challenge(reply);
  FUZZ_CHECK(challenge.find_first_of("\r\n") == std::string_view::npos);
  if (!challenge.empty()) {
    FUZZ_CHECK(challenge.data() >= reply.data() &&
               challenge.data() + challenge.size() <= reply.data() + reply.size());
  }
  const std::string decoded = SmtpBase64Decode(challenge);
  FUZZ_CHECK(decoded.size() <= challenge.size());
  const std::string response = CramMd5Response(decoded, "user", "secret");
  FUZZ_CHECK(response.ends_with("\r\n"));
  FUZZ_CHECK(SmtpBase64Decode(std::string_view(response).substr(0, response.size() - 2))
                 .starts_with("user "));

  const RefusalPolicy policy{(seed & 1) != 0, (seed & 2) != 0};
  for (SmtpStep step : {SmtpStep::Rset, SmtpStep::MailFrom, SmtpStep::RcptTo, SmtpStep::Data,
                        SmtpStep::EndOfText}) {
    // A refusal never reads as sent.
    FUZZ_CHECK(ClassifyRefusal(step, reply, policy) != SendResult::Sent);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size == 0) return 0;
  const uint8_t seed = bytes[0];
  const std::string_view data = velnora::fuzz::AsText(bytes + 1, size - 1);
  CheckScanner(data, seed);
  CheckReplyReaders(data, seed);
  return 0;
}
