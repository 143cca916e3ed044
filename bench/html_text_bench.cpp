// HtmlToText on the HTML files named on the command line (bench/html_text.sh
// writes them and runs w3m on the same files), each an account that keeps
// UTF-8 and extracts links, as the mail path converts HTML parts.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "convert/html_to_text.h"

namespace {

using namespace velnora;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc < 2) {
    std::cerr << "usage: html_text_bench [benchmark options] file.html...\n";
    return 2;
  }
  static std::vector<std::string> inputs;
  for (int i = 1; i < argc; ++i) inputs.push_back(ReadFile(argv[i]));
  for (int i = 1; i < argc; ++i) {
    const std::string& html = inputs[static_cast<std::size_t>(i - 1)];
    benchmark::RegisterBenchmark(argv[i], [&html](benchmark::State& state) {
      HtmlTextOptions options;
      options.htmlToText = true;
      options.extractLinks = true;
      options.htmlBase64 = false;
      for (auto _ : state) benchmark::DoNotOptimize(HtmlToText(html, charset::kUtf8, options));
      state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * html.size()));
    })->Unit(benchmark::kMillisecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
