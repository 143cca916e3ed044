// HTML to text: expected bytes written out by hand, checked against what
// Python's html module and a browser make of the same markup.
#include <gtest/gtest.h>

#include <string>

#include "convert/html_to_text.h"

namespace velnora {
namespace {

struct Case {
  const char* name;
  std::string html;
  std::string text;
};

HtmlTextOptions TextOptions() {
  HtmlTextOptions o;
  o.htmlToText = true;
  o.htmlBase64 = false;
  return o;
}

void ExpectAll(std::initializer_list<Case> cases, CharsetCode code, const HtmlTextOptions& options) {
  for (const Case& c : cases) {
    EXPECT_EQ(HtmlToText(c.html, code, options).text, c.text) << c.name;
  }
}

TEST(HtmlToText, TagsShapeLines) {
  ExpectAll({
      {"p, br and closing div make one empty line", "a<p><br></div>b", "a\r\n\r\nb\r\n"},
      {"heading", "x<h2>Title</h2>text", "x\r\n\r\nTitle\r\ntext\r\n"},
      {"rule", "a<hr>b", "a\r\n---\r\nb\r\n"},
      {"table cells", "<table><tr><td>1</td><td>2</td><TD>3</td></tr></table>", "1 2 3\r\n"},
      {"self-closing br", "a<br/>b<BR />c", "a\r\nb\r\nc\r\n"},
      {"hidden content", "a<style>p{x:1}</style>b<script>if(a<b)x='</p>';</script>c<!-- <p>no --> d<noscript>n</noscript>",
       "abc d\r\n"},
      {"less-than as text", "Price < 100 yen, a<3 b", "Price < 100 yen, a<3 b\r\n"},
      {"greater-than as text", "a >> b > c", "a >> b > c\r\n"},
      {"pre in any case keeps its lines", "<PRE>x  1\n  y\r\n</PRE>z", "x  1\r\ny\r\n\r\nz\r\n"},
      {"block ends keep words apart", "<p>a</p>b<table><tr><td>c</td></tr></table>Next<pre> d</pre>",
       "a b\r\nc\r\nNext\r\nd\r\n"},
      {"white space runs", "a\tb \n\t c", "a b c\r\n"},
      {"line break is a space", "Hello\nworld", "Hello world\r\n"},
      {"leading dots stay", "...more<br>. item", "...more\r\n. item\r\n"},
      {"leading empty lines and spaces go", "<br><br>  x  <br>", "x\r\n"},
  }, charset::kShiftJis, TextOptions());
}

TEST(HtmlToText, LineBreaksBetweenDoubleByteCharacters) {
  ExpectAll({
      {"between kana", "\x82\xA0\n\x82\xA2", "\x82\xA0\x82\xA2\r\n"},
      {"kana then letter", "\x82\xA0\nb", "\x82\xA0 b\r\n"},
  }, charset::kShiftJis, TextOptions());
  ExpectAll({
      {"between kanji", "\xE6\x97\xA5\n  \xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC\r\n"},
      {"between accented letters", "caf\xC3\xA9\n\xC3\xA9t\xC3\xA9", "caf\xC3\xA9 \xC3\xA9t\xC3\xA9\r\n"},
  }, charset::kUtf8, TextOptions());
}

TEST(HtmlToText, Links) {
  HtmlTextOptions links = TextOptions();
  links.extractLinks = true;
  links.extractTitles = true;
  links.extractImageAlt = true;
  ExpectAll({
      {"link on its own line", "see <a href=\"http://e.org/?a=1&amp;b=2\">site</a>.",
       "see\r\n[ http://e.org/?a=1&b=2 ]\r\nsite.\r\n"},
      {"anchor", "<a href=\"#top\">up</a>", "up\r\n"},
      {"title", "<a href='u' title=\"T\">x</a>", "[ u ]\r\n( T ) x\r\n"},
      {"image alt", "<img src=\"x.png\" alt=\"logo\">!", "( logo ) !\r\n"},
      {"unfinished tag", "a <a href=\"x\" b", "a\r\n"},
  }, charset::kShiftJis, links);
  ExpectAll({
      {"links off", "see <a href=\"http://e.org/\">site</a>", "see site\r\n"},
      {"image alt off", "<img src=\"x.png\" alt=\"logo\">!", "!\r\n"},
  }, charset::kShiftJis, TextOptions());
}

// Expected characters as Python's html.unescape gives them, except that
// what it turns into U+FFFD or drops is "?" here.
TEST(HtmlToText, References) {
  ExpectAll({
      {"full code points", "&#128512;&#x1F600;&#1114111;", "\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF\r\n"},
      {"unusable numbers", "a&#xD800;b&#1;c&#0;d&#1114112;e&#99999999999;f", "a?b?c?d?e?f\r\n"},
      {"windows-1252 range", "&#150;&#x80;", "\xE2\x80\x93\xE2\x82\xAC\r\n"},
      {"tab kept, semicolon optional", "a&#9;b&#65&#66;", "a\tbAB\r\n"},
      {"invalid numeric reference is text", "Q&#A session &#x; &#", "Q&#A session &#x; &#\r\n"},
      {"one level only", "&amp;lt; &#38;lt;", "&lt; &lt;\r\n"},
      {"named", "&eacute;&alpha;&Alpha;&hellip;", "\xC3\xA9\xCE\xB1\xCE\x91\xE2\x80\xA6\r\n"},
      {"spaces", "a&nbsp;b&#160;c&ensp;d&#8201;e", "a b c d e\r\n"},
      {"unknown or unterminated", "&unknown; &amp &Eacute", "&unknown; &amp &Eacute\r\n"},
  }, charset::kUtf8, TextOptions());
  ExpectAll({
      {"hiragana", "&#12354;", "\x82\xA0\r\n"},
      {"pictograph stand-in", "&#128512;", "[ ]\r\n"},
      {"named in Shift_JIS", "&eacute;&alpha;&Alpha;&yen;&hellip;", "e\x83\xBF\x83\x9F\\\x81\x63\r\n"},
      {"no Shift_JIS form", "&#x0E01;&#x20000;", "??\r\n"},
  }, charset::kShiftJis, TextOptions());
}

TEST(HtmlToText, CharsetOfTheResult) {
  struct Charsets {
    const char* name;
    std::string html;
    CharsetCode in;
    bool utf8;
    std::string text;
    CharsetCode out;
  };
  const Charsets cases[] = {
      {"ascii keeps its label", "abc", charset::kUsAscii, true, "abc\r\n", charset::kUsAscii},
      {"ascii with a reference becomes UTF-8", "&#12354;", charset::kUsAscii, true, "\xE3\x81\x82\r\n", charset::kUtf8},
      {"ascii with a reference becomes Shift_JIS", "&#12354;", charset::kUsAscii, false, "\x82\xA0\r\n", charset::kShiftJis},
      {"ISO-2022-JP becomes Shift_JIS", "\x1B$B$\"\x1B(B<br>x", charset::kIso2022Jp, true, "\x82\xA0\r\nx\r\n", charset::kShiftJis},
      {"UTF-8 becomes Shift_JIS", "\xE3\x81\x82", charset::kUtf8, false, "\x82\xA0\r\n", charset::kShiftJis},
      {"meta charset of unlabelled text",
       "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\xE3\x81\x82", charset::kNone, false,
       "\x82\xA0\r\n", charset::kShiftJis},
      {"quoted meta charset", "<meta charset=\"UTF-8\">\xE3\x81\x82", charset::kUndetermined, false, "\x82\xA0\r\n",
       charset::kShiftJis},
      {"latin-1 reference", "caf&eacute; &#x3B1;", charset::kIso8859First, true, "caf\xE9 ?\r\n", charset::kIso8859First},
  };
  for (const auto& c : cases) {
    HtmlTextOptions o = TextOptions();
    o.htmlUseUtf8 = c.utf8;
    HtmlText result = HtmlToText(c.html, c.in, o);
    EXPECT_EQ(result.text, c.text) << c.name;
    EXPECT_EQ(result.charset, c.out) << c.name;
  }
}

TEST(HtmlToText, Base64AndMarker) {
  HtmlTextOptions o = TextOptions();
  o.htmlBase64 = true;
  HtmlText utf8 = HtmlToText("<p>\xC3\xA9</p>", charset::kUtf8, o);
  EXPECT_TRUE(utf8.base64);
  EXPECT_EQ(utf8.text, "w6kNCg==\r\n");  // base64.b64encode(b"\xc3\xa9\r\n")
  HtmlText sjis = HtmlToText("<p>x</p>", charset::kShiftJis, o);
  EXPECT_FALSE(sjis.base64);
  o.diagnosticMarker = true;
  EXPECT_EQ(HtmlToText("x", charset::kShiftJis, o).text, "x\r\n\r\n[CS=SJIS]\r\n");
}

}  // namespace
}  // namespace velnora
