// The multipart path of the filter stage on the mail files named on the
// command line (bench/mime_parts.sh writes a 20 MB, 100-part mail and runs
// Python's email package on the same file): load, parse the header,
// classify, and process the parts for an account that converts Unicode
// text and every HTML part to local text and keeps files under its limit.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "config/account_settings.h"
#include "config/common_settings.h"
#include "engine/content/mime_process.h"
#include "engine/filter/filter_content.h"
#include "engine/message/header_parse.h"
#include "engine/message/mail_message.h"

namespace {

using namespace velnora;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void ProcessMail(benchmark::State& state, const std::string& mail) {
  auto account = std::make_unique<AccountSettings>();
  auto common = std::make_unique<CommonSettings>();
  account->partProcessing = 1;
  account->oversizeKb = 1 << 20;
  account->unicodeToJis = 1;
  account->htmlToText = 1;
  account->convertAllHtmlParts = 1;
  account->extractLinks = 1;
  for (auto _ : state) {
    MailMessage message;
    if (!SetMessageText(message, mail)) state.SkipWithError("no memory");
    ParseMailContent(message);
    ClassifyContent(message, *account);
    benchmark::DoNotOptimize(ProcessMultipartMessage(message, *account, *common));
    if (!message.convertedBody) state.SkipWithError("the mail was not rebuilt");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * mail.size()));
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc < 2) {
    std::cerr << "usage: mime_parts_bench [benchmark options] mail.eml...\n";
    return 2;
  }
  static std::vector<std::string> inputs;
  for (int i = 1; i < argc; ++i) inputs.push_back(ReadFile(argv[i]));
  for (int i = 1; i < argc; ++i) {
    const std::string& mail = inputs[static_cast<std::size_t>(i - 1)];
    benchmark::RegisterBenchmark(argv[i], [&mail](benchmark::State& state) { ProcessMail(state, mail); })
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
