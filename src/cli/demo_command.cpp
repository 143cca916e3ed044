// velnora-cli demo: real servers in a temporary folder, sample mail, one
// start pass, and what arrived — then everything it started is removed.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "cli/command_table.h"
#include "cli/demo_command_mail.h"
#include "cli/demo_command_servers.h"
#include "cli/run_command.h"
#include "config/settings_defaults.h"
#include "config/settings_file.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "report/header_display.h"

namespace velnora::cli {
namespace {

namespace fs = std::filesystem;

// The unfolded value of header `name` in a message text ("" when absent).
std::string HeaderValue(const std::string& text, std::string_view name) {
  const std::size_t headerEnd = text.find("\r\n\r\n");
  const std::string_view header(text.data(), headerEnd == std::string::npos ? text.size() : headerEnd + 2);
  std::size_t at = 0;
  while (at < header.size()) {
    std::size_t end = header.find("\r\n", at);
    if (end == std::string_view::npos) end = header.size();
    const std::string_view line = header.substr(at, end - at);
    if (line.size() > name.size() && line[name.size()] == ':' &&
        std::equal(name.begin(), name.end(), line.begin(),
                   [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); })) {
      std::string value(line.substr(name.size() + 1));
      // Continuation lines belong to the value.
      while (end + 2 < header.size() && (header[end + 2] == ' ' || header[end + 2] == '\t')) {
        const std::size_t next = header.find("\r\n", end + 2);
        value += header.substr(end + 2, (next == std::string_view::npos ? header.size() : next) - end - 2);
        end = next == std::string_view::npos ? header.size() : next;
      }
      const std::size_t first = value.find_first_not_of(' ');
      return first == std::string::npos ? std::string() : value.substr(first);
    }
    at = end + 2;
  }
  return {};
}

class DemoFolder {
 public:
  DemoFolder() {
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const fs::path candidate = base / ("velnora-demo-" + std::to_string(platform::TickMs() % 1000000 + attempt));
      if (fs::create_directory(candidate, ec)) path_ = candidate.string();
    }
  }
  ~DemoFolder() {
    std::error_code ec;
    if (!path_.empty() && !keep_) fs::remove_all(path_, ec);
  }
  DemoFolder(const DemoFolder&) = delete;
  DemoFolder& operator=(const DemoFolder&) = delete;
  const std::string& path() const { return path_; }
  // Leaves the folder in place (for a look at a failed server's files).
  void Keep() { keep_ = true; }

 private:
  std::string path_;
  bool keep_ = false;
};

int Demo(CliContext& context, std::span<const std::string> args) {
  if (!args.empty()) return Fail(context, "demo takes no arguments");
  DemoFolder folder;
  if (folder.path().empty()) return Fail(context, "cannot make a temporary folder");
  const std::string serverFolder = folder.path() + "/servers";
  const std::string settingsFolder = folder.path() + "/settings";
  fs::create_directories(serverFolder);
  fs::create_directories(settingsFolder);

  const std::vector<std::string> messages = DemoMessages();
  const std::vector<DemoMailbox> mailboxes = {
      {"alice", "alice-pw", {messages[0], messages[1]}},
      {"bob", "bob-pw", {messages[2], messages[3]}},
  };
  DemoServers servers(serverFolder);
  std::string problem;
  std::fprintf(context.out, "Starting Dovecot and aiosmtpd in %s ...\n", folder.path().c_str());
  if (!servers.Start(mailboxes, problem)) {
    if (!servers.startFailed()) return Fail(context, problem);
    servers.Stop();
    folder.Keep();
    return Fail(context, problem + "\nThe folder " + folder.path() + " is kept for a look; remove it when done.");
  }
  std::fprintf(context.out, "POP3 on 127.0.0.1:%u (TLS %u), SMTP on 127.0.0.1:%u\n", servers.popPort(),
               servers.popsPort(), servers.smtpPort());

  CliContext run{SettingsLocation::ForFolder(settingsFolder), context.screen, context.out, context.err};
  run.location.EnterCurrentFolderMode();
  {
    auto image = std::make_unique<SettingsImage>();
    MakeFreshTable(*image, context.screen);
    SetDemoAccount(*image, 0, {"demo-alice", "alice", "alice-pw", servers.popPort(), false, DemoSecurity::StartTls}, servers.smtpPort());
    SetDemoAccount(*image, 1, {"demo-bob", "bob", "bob-pw", servers.popsPort(), true, DemoSecurity::ImplicitTls}, servers.smtpPort());
    if (SaveSettings(*image, run.location) != SaveResult::Saved) return Fail(context, "cannot write the demo settings");
  }
  std::fprintf(context.out, "Two accounts: demo-alice (USER/PASS after STLS), demo-bob (APOP over TLS), both sending after STARTTLS. Forwarding once:\n");
  const int status = RunForwarding(run, true);

  const auto arrived = servers.Arrived();
  std::fprintf(context.out, "\n%zu message(s) arrived at the SMTP server:\n", arrived.size());
  auto display = std::make_unique<AccountSettings>();
  for (const ArrivedMail& mail : arrived) {
    std::string rcpt;
    for (const std::string& r : mail.rcptTo) rcpt += (rcpt.empty() ? "" : ", ") + r;
    const std::string subject = ConsoleText(DisplayHeaderValue(HeaderValue(mail.data, "Subject"), *display));
    std::fprintf(context.out, "  MAIL FROM:<%s> RCPT TO:<%s> %zu bytes  Subject: %s\n", mail.mailFrom.c_str(),
                 rcpt.c_str(), mail.data.size(), subject.c_str());
  }
  servers.Stop();
  std::fprintf(context.out, "Servers stopped; %s removed.\n", folder.path().c_str());
  return status == kExitOk && !arrived.empty() ? kExitOk : kExitError;
}

constexpr CliCommand kCommands[] = {
    {"demo", "",
     "start Dovecot and aiosmtpd with sample mail in a temporary folder, forward it once with two "
     "accounts and show what arrived; everything started is removed again",
     Demo},
};

}  // namespace

std::span<const CliCommand> DemoCommands() { return kCommands; }

}  // namespace velnora::cli
