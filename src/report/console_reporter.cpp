#include "report/console_reporter.h"

#include "platform/codepage.h"
#include "report/visible_text.h"

namespace velnora {
namespace {

// Code page 932 text as UTF-8 that is safe to print on a terminal.
std::string Printable(std::string_view cp932) {
  return VisibleText(platform::Cp932ToUtf8(cp932));
}

// The same for message-box texts, which may run over several lines.
std::string PrintableLines(std::string_view cp932) {
  return VisibleText(platform::Cp932ToUtf8(cp932), /*keepLineBreaks=*/true);
}

}  // namespace

ConsoleReporter::ConsoleReporter(std::FILE* out, std::FILE* err, bool showStatus,
                                 Answer defaultAnswer)
    : out_(out), err_(err), showStatus_(showStatus), defaultAnswer_(defaultAnswer) {}

void ConsoleReporter::ActivityAdded(const ActivityRow& row) {
  // time, account, category, subject, sender, recipient
  std::lock_guard lock(mutex_);
  std::fprintf(out_, "%s | %s | %d | %s | %s | %s | %s\n",
               Printable(row.columns[2]).c_str(),
               Printable(row.columns[1]).c_str(), row.code,
               Printable(row.columns[0]).c_str(),
               Printable(row.columns[3]).c_str(),
               Printable(row.columns[4]).c_str(),
               Printable(row.columns[5]).c_str());
  std::fflush(out_);
}

void ConsoleReporter::StatusChanged(std::string_view text, int) {
  if (!showStatus_) return;
  std::lock_guard lock(mutex_);
  std::fprintf(err_, "%s\n", Printable(text).c_str());
}

Answer ConsoleReporter::Ask(std::string_view text, std::string_view title) {
  std::lock_guard lock(mutex_);
  std::fprintf(err_, "%s: %s -> %s\n", Printable(title).c_str(),
               PrintableLines(text).c_str(),
               defaultAnswer_ == Answer::Yes ? "yes" : "no");
  return defaultAnswer_;
}

void ConsoleReporter::Tell(std::string_view text, std::string_view title) {
  std::lock_guard lock(mutex_);
  std::fprintf(err_, "%s: %s\n", Printable(title).c_str(),
               PrintableLines(text).c_str());
}

}  // namespace velnora
