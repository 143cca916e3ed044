// The arithmetic ISO-2022-JP <-> Shift_JIS conversions against the system's
// iconv converters, and the mail Base64 decoder against OpenSSL's
// EVP_DecodeBlock, on the same 10 MB of Japanese text in one run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "convert/base64.h"
#include "convert/jis_arithmetic.h"
#include "convert/jis_convert.h"
#include "platform/base64_reference.h"
#include "platform/codepage_win.h"

namespace {

using namespace velnora;

constexpr std::size_t kTextBytes = 10 * 1024 * 1024;

// Mail-like Japanese text: lines of about 70 bytes mixing kana, kanji of the
// first level, full-width punctuation and ASCII words, ended by CR LF.
const std::string& SjisText() {
  static const std::string text = [] {
    std::string s;
    s.reserve(kTextBytes + 128);
    unsigned seed = 12345;
    auto next = [&seed] {
      seed = seed * 1103515245u + 12345u;
      return (seed >> 16) & 0x7FFF;
    };
    std::size_t line = 0;
    while (s.size() < kTextBytes) {
      unsigned kind = next() % 10;
      BytePair p{};
      if (kind < 4) {
        p = JisPairToSjis(0x24, static_cast<unsigned char>(0x21 + next() % 83));  // hiragana
      } else if (kind < 8) {
        p = JisPairToSjis(static_cast<unsigned char>(0x30 + next() % 0x20),
                          static_cast<unsigned char>(0x21 + next() % 94));  // kanji
      } else if (kind < 9) {
        p = JisPairToSjis(0x21, static_cast<unsigned char>(0x22 + next() % 3));  // punctuation
      }
      if (kind < 9) {
        s.push_back(static_cast<char>(p.first));
        s.push_back(static_cast<char>(p.second));
        line += 2;
      } else {
        s += " Velnora 4.0 ";
        line += 13;
      }
      if (line >= 70) {
        s += "\r\n";
        line = 0;
      }
    }
    return s;
  }();
  return text;
}

const std::string& JisText() {
  static const std::string text = [] {
    const std::string& sjis = SjisText();
    std::string out(sjis.size() * 3 + 16, '\0');
    out.resize(SjisToJis(sjis, std::span<char>(out), ConvertOptions{}));
    return out;
  }();
  return text;
}

const std::string& Base64Text() {
  static const std::string text = [] {
    const std::string& sjis = SjisText();
    std::string out(sjis.size() / 3 * 4 + 16, '\0');
    out.resize(Base64EncodeBytes(std::span<const char>(sjis.data(), sjis.size()), std::span<char>(out)));
    return out;
  }();
  return text;
}

void BM_SjisToJis(benchmark::State& state) {
  const std::string& in = SjisText();
  std::vector<char> out(in.size() * 3 + 16);
  for (auto _ : state) {
    benchmark::DoNotOptimize(SjisToJis(in, std::span<char>(out), ConvertOptions{}));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_IconvCp932ToIso2022Jp(benchmark::State& state) {
  const std::string& in = SjisText();
  for (auto _ : state) {
    auto out = platform::ConvertCodePage(platform::kCodePageShiftJis, platform::kCodePageIso2022Jp, in);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_JisToSjis(benchmark::State& state) {
  const std::string& in = JisText();
  std::vector<char> out(in.size() + 1);
  for (auto _ : state) {
    benchmark::DoNotOptimize(JisToSjis(in, std::span<char>(out)));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_IconvIso2022JpToCp932(benchmark::State& state) {
  const std::string& in = JisText();
  for (auto _ : state) {
    auto out = platform::ConvertCodePage(platform::kCodePageIso2022Jp, platform::kCodePageShiftJis, in);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

// Decoding is in place, so each round restores the input first, untimed.
void BM_Base64DecodeText(benchmark::State& state) {
  const std::string& in = Base64Text();
  std::vector<char> buffer(in.size() + 1);
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(buffer.data(), in.data(), in.size() + 1);
    state.ResumeTiming();
    benchmark::DoNotOptimize(Base64DecodeText(std::span<char>(buffer)));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_EvpDecodeBlock(benchmark::State& state) {
  const std::string& in = Base64Text();
  std::vector<unsigned char> out(in.size() / 4 * 3 + 3);
  for (auto _ : state) {
    benchmark::DoNotOptimize(platform::EvpDecodeBase64(in, out));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

BENCHMARK(BM_SjisToJis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvCp932ToIso2022Jp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JisToSjis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvIso2022JpToCp932)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Base64DecodeText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvpDecodeBlock)->Unit(benchmark::kMillisecond);

}  // namespace


namespace {

// A header-sized conversion through UTF-16 with two converter modules in
// turn, as ConvertLocalToUtf8 does for every outgoing subject.
void BM_HeaderLocalToIso2022JpViaUtf16(benchmark::State& state) {
  const std::string subject = SjisText().substr(0, 64);
  for (auto _ : state) {
    auto wide = platform::MultiByteToWideChar(platform::kCodePageShiftJis, subject);
    benchmark::DoNotOptimize(platform::WideCharToMultiByte(platform::kCodePageIso2022Jp, *wide));
  }
}
BENCHMARK(BM_HeaderLocalToIso2022JpViaUtf16)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
