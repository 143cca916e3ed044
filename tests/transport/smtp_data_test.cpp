// The DATA text on the wire, read back the way a receiving server reads it:
// lines end at CR LF, the first line "." ends the data, and one leading dot
// is removed from every other line.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/case_name.h"
#include "transport/smtp/smtp_data.h"

namespace velnora {
namespace {

struct Wire {
  std::string bytes;
  std::vector<std::size_t> pieceSizes;
  std::vector<std::string> logged;
  std::size_t lastPosition = 0;
};

Wire Encode(std::string_view text) {
  Wire wire;
  bool ok = WriteDataText(
      text,
      [&](std::string_view piece, std::size_t position) {
        wire.bytes.append(piece);
        wire.pieceSizes.push_back(piece.size());
        wire.lastPosition = position;
        return true;
      },
      [&](std::string_view line) { wire.logged.emplace_back(line); });
  EXPECT_TRUE(ok);
  return wire;
}

struct ServerView {
  std::string content;     // the message as the server stores it
  std::size_t consumed = 0;  // wire bytes up to and including the end-of-data line
  bool ended = false;
};

ServerView ReadAsServer(const std::string& wire) {
  ServerView view;
  std::size_t pos = 0;
  while (pos < wire.size()) {
    std::size_t crlf = wire.find("\r\n", pos);
    if (crlf == std::string::npos) break;
    std::string line = wire.substr(pos, crlf - pos);
    pos = crlf + 2;
    if (line == ".") {
      view.ended = true;
      view.consumed = pos;
      return view;
    }
    if (!line.empty() && line[0] == '.') line.erase(0, 1);
    view.content += line + "\r\n";
  }
  return view;
}

// The text with every line end made CR LF and a missing last one added. In
// the header (up to its first empty line) only LF ends a line, and a CR
// that does not stand before one, or at the very end, is a space.
std::string Normalised(std::string_view text) {
  std::string out;
  bool inHeader = true;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool crlf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
    const bool lineEnd = inHeader ? text[i] == '\n' || crlf || (text[i] == '\r' && i + 1 == text.size())
                                  : text[i] == '\r' || text[i] == '\n';
    if (lineEnd) {
      if (inHeader && out.size() == lineStart) inHeader = false;
      out += "\r\n";
      lineStart = out.size();
      if (crlf) ++i;
    } else {
      out += text[i] == '\r' ? ' ' : text[i];
    }
  }
  if (!out.empty() && !out.ends_with("\r\n")) out += "\r\n";
  return out;
}

bool HasBareLineEnd(const std::string& wire) {
  for (std::size_t i = 0; i < wire.size(); ++i) {
    if (wire[i] == '\r' && (i + 1 == wire.size() || wire[i + 1] != '\n')) return true;
    if (wire[i] == '\n' && (i == 0 || wire[i - 1] != '\r')) return true;
  }
  return false;
}

struct HostileCase {
  const char* name;
  std::string text;
};

const HostileCase kHostileCases[] = {
    {"bare LF dot in header", "Subject: a\n.\r\nMAIL FROM:<evil@x>\r\nRCPT TO:<v@x>\r\nDATA\r\n\r\nbody\r\n"},
    {"dot bare LF in header", "Subject: a\r\n.\nQUIT\r\n\r\nbody\r\n"},
    {"dot line in header", "From: a@b\r\n.\r\nRSET\r\n\r\nbody\r\n"},
    {"dot bare CR", "X: y\r\n.\rRSET\r\n\r\nb\r\n"},
    {"bare CR everywhere", "A: b\rC: d\r\rx\ry\r"},
    {"body dot lines", "S: x\r\n\r\n.\r\n..\r\n.foo\r\n...\r\nend\r\n"},
    {"body bare LF dot", "S: x\r\n\r\nline\n.\nMAIL FROM:<e@x>\n"},
    {"dot at text start", ".\r\n\r\n.\r\n"},
    {"missing last line end", "S: x\r\n\r\nlast line"},
    {"missing last line end after dot", "S: x\r\n\r\n."},
    {"CR CR LF", "S: x\r\r\n\r\nbody\r\r\n"},
    {"LF CR", "S: x\n\rbody\n\r"},
    {"no body", "S: x\r\n"},
    {"empty", ""},
};

using testing::CaseName;

class HostileText : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileText, ServerReceivesTheWholeTextAndNothingMore) {
  const std::string& text = GetParam().text;
  Wire wire = Encode(text);
  ServerView view = ReadAsServer(wire.bytes);
  ASSERT_TRUE(view.ended);
  EXPECT_EQ(view.consumed, wire.bytes.size()) << "data ended early";
  EXPECT_EQ(view.content, Normalised(text));
  EXPECT_FALSE(HasBareLineEnd(wire.bytes));
  EXPECT_EQ(wire.lastPosition, text.size());
}

INSTANTIATE_TEST_SUITE_P(Texts, HostileText, ::testing::ValuesIn(kHostileCases), CaseName<HostileCase>);

TEST(DataText, ExactWireForms) {
  EXPECT_EQ(Encode("").bytes, ".\r\n");
  EXPECT_EQ(Encode("S: x\n\nA\n.\n..b\n").bytes, "S: x\r\n\r\nA\r\n..\r\n...b\r\n.\r\n");
  EXPECT_EQ(Encode(".H: x\r\n\r\n").bytes, "..H: x\r\n\r\n.\r\n");
}

// A lone CR in the header is a space on the wire: it neither ends the
// header early (moving the next field into the body) nor makes a line; in
// the body it ends a line as before.
TEST(DataText, LoneCrInTheHeaderIsASpace) {
  const std::pair<std::string, std::string> cases[] = {
      {"S: x\r\r\nY: z\r\n\r\nbody\rmore\r\n", "S: x \r\nY: z\r\n\r\nbody\r\nmore\r\n.\r\n"},
      {"S: a\rb\r\n\r\nc\r\n", "S: a b\r\n\r\nc\r\n.\r\n"},
      {"S: a\r\n\r\r\nT: b\r\n\r\n", "S: a\r\n \r\nT: b\r\n\r\n.\r\n"},
      {"S: a\r\n.\rRSET\r\n\r\n", "S: a\r\n.. RSET\r\n\r\n.\r\n"},
      {"S: a\n\rb\n\r", "S: a\r\n b\r\n\r\n.\r\n"},
  };
  for (const auto& [text, wire] : cases) EXPECT_EQ(Encode(text).bytes, wire);
}

TEST(DataText, HeaderLinesAndTerminatorAreLoggedBodyIsNot) {
  Wire wire = Encode("Subject: s\n.evil\r\n\r\nsecret body\r\n.\r\n");
  std::vector<std::string> expected = {"Subject: s\r\n", "..evil\r\n", "\r\n", ".\r\n"};
  EXPECT_EQ(wire.logged, expected);
}

TEST(DataText, SmallMessageIsOneWrite) {
  Wire wire = Encode("S: x\r\n\r\n" + std::string(20000, 'b') + "\r\n");
  EXPECT_EQ(wire.pieceSizes.size(), 1u);
}

TEST(DataText, LongLineIsCutAfterGreaterThanOrAtTheHardLimit) {
  std::string line = std::string(kDataPieceSoftLimit + 1, 'a') + ">" + std::string(70000, 'c');
  Wire wire = Encode(line + "\r\n");
  ASSERT_GE(wire.pieceSizes.size(), 2u);
  EXPECT_EQ(wire.pieceSizes[0], kDataPieceSoftLimit + 2);
  EXPECT_EQ(wire.bytes[wire.pieceSizes[0] - 1], '>');
  EXPECT_EQ(wire.pieceSizes[1], kDataPieceHardLimit + 2);

  Wire plain = Encode(std::string(200000, 'z'));
  for (std::size_t size : plain.pieceSizes) EXPECT_LE(size, kDataPieceHardLimit + 2);
  EXPECT_EQ(plain.pieceSizes[0], kDataPieceHardLimit + 2);
}

// A piece may end anywhere in a line; the next piece must not be taken for
// a line start (no stuffing inside a line) and a dot that does start a line
// right after a cut must still be stuffed.
TEST(DataText, PieceBoundariesAreNotLineStarts) {
  for (std::size_t fill = kDataPieceHardLimit - 12; fill <= kDataPieceHardLimit + 12; ++fill) {
    for (std::size_t header = 0; header < 2; ++header) {
      std::string text = header ? "S: x\r\n\r\n" : "";
      text += std::string(fill, 'a') + ".x.\r\n.\r\n.\n" + std::string(fill, '>') + "\n.y\r\n";
      Wire wire = Encode(text);
      ServerView view = ReadAsServer(wire.bytes);
      ASSERT_TRUE(view.ended) << fill;
      ASSERT_EQ(view.consumed, wire.bytes.size()) << fill;
      ASSERT_EQ(view.content, Normalised(text)) << fill;
    }
  }
}

TEST(DataText, AbandonedTransferStops) {
  int calls = 0;
  bool ok = WriteDataText(
      std::string(300000, 'q'), [&](std::string_view, std::size_t) { return ++calls < 2; },
      [](std::string_view) {});
  EXPECT_FALSE(ok);
  EXPECT_EQ(calls, 2);
}

TEST(ControlLine, SenderAndRest) {
  EXPECT_EQ(ControlLineSender("a@b.example\r\nFrom: x\r\n"), "a@b.example");
  EXPECT_EQ(ControlLineSender("a@b\nX"), "a@b");
  EXPECT_EQ(ControlLineSender("\r\nFrom: x\r\n"), "");
  EXPECT_EQ(SkipControlLine("a@b\r\nFrom: x\r\n"), "From: x\r\n");
  EXPECT_EQ(SkipControlLine("\nBody\n"), "Body\n");
  EXPECT_EQ(SkipControlLine("no line end"), "");
}

}  // namespace
}  // namespace velnora
