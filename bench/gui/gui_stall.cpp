// How the window fares during a large pass: 1,000 messages (or argv[1]) in a
// Dovecot mailbox forwarded to aiosmtpd by the desktop program's 接続, while
// a 10 ms timer on the window thread records how late each tick comes; the
// same mailbox behind a second server is forwarded by `velnora-cli run
// --once` for the time to compare with. Prints the longest and the 99th
// percentile gap between ticks and both pass times, per round (a fresh
// mailbox each, the console first) and their median.
//
//   build/bench/gui_stall [message count] [rounds]
//
// Needs dovecot-pop3d and python3-aiosmtpd (scripts/setup.sh); runs on the
// offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/realserver/forwarding_rig.h"
#include "support/dovecot_server.h"
#include "support/smtp_server.h"
#include "support/test_paths.h"
#include "ui/desktop.h"

namespace {

using namespace velnora;
using testing::TempFolder;

struct Side {
  testing::DovecotServer dovecot{std::vector<testing::DovecotUser>{{"alice", "wonderland"}}};
  TempFolder sinkFolder;
  testing::SmtpSink sink{sinkFolder.path()};
  testing::ForwardingRig rig;

  bool Ready(int count) {
    if (!dovecot.ready() || !sink.ready()) return false;
    for (int i = 0; i < count; ++i) {
      const std::string n = std::to_string(i);
      const std::string mail = "From: sender" + n + "@example.org\r\nTo: alice@velnora.test\r\nSubject: message " + n +
                               "\r\nMessage-ID: <" + n + "@example.org>\r\n\r\nbody " + n + "\r\n" +
                               std::string(400, 'x') + "\r\n";
      if (!dovecot.AddMessage("alice", std::to_string(1700000000 + i) + ".M" + n + ".t", mail)) return false;
    }
    rig.Account(0, "alice", dovecot.pop3Port(), "alice", "wonderland", sink.plainPort());
    return rig.WriteSettings();
  }
};

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void RunEvents(const std::function<bool()>& done, int limitMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

// Gaps between the ticks of a 10 ms timer on this thread while `run` goes on.
class TickGaps {
 public:
  TickGaps() {
    tick_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick_, &QTimer::timeout, [this] { times_.push_back(clock_.nsecsElapsed()); });
    clock_.start();
    times_.push_back(0);
    tick_.start(10);
  }
  // Sorted, in milliseconds.
  std::vector<double> Stop() {
    tick_.stop();
    std::vector<double> gaps;
    for (std::size_t i = 1; i < times_.size(); ++i) gaps.push_back((times_[i] - times_[i - 1]) / 1e6);
    std::sort(gaps.begin(), gaps.end());
    return gaps;
  }

 private:
  QElapsedTimer clock_;
  QTimer tick_;
  std::vector<qint64> times_;
};

double Percentile(const std::vector<double>& sorted, int percent) {
  return sorted.empty() ? 0 : sorted[std::min(sorted.size() - 1, sorted.size() * std::size_t(percent) / 100)];
}

struct Round {
  double cliSeconds = 0, guiSeconds = 0, maxGap = 0, p99Gap = 0, idleMaxGap = 0;
  bool complete = false;
};

Round RunRound(int count, const std::string& configHome) {
  Round round;
  {
    Side cli;
    if (!cli.Ready(count)) return round;
    const std::string command = "XDG_CONFIG_HOME='" + configHome + "' '" + testing::CliPath() + "' --dir '" +
                                cli.rig.folder() + "' run --once >/dev/null 2>&1";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    round.cliSeconds = Seconds(std::chrono::steady_clock::now() - start);
    if (status != 0 || cli.sink.Mails().size() != std::size_t(count)) return round;
  }
  Side gui;
  if (!gui.Ready(count)) return round;
  ui::Desktop desktop(SettingsLocation::ForFolder(gui.rig.folder()), nullptr, nullptr, ui::UpdateSource{});
  if (desktop.Open() != ui::Desktop::Start::Running) return round;
  {
    // The same loop with no pass: how late ticks come on this machine anyway.
    TickGaps idle;
    RunEvents([] { return false; }, 1000);
    round.idleMaxGap = idle.Stop().back();
  }
  auto* reporter = dynamic_cast<ui::QtReporter*>(&desktop.context()->reporter);
  bool ended = false;
  QObject::connect(reporter, &ui::QtReporter::passActiveChanged, [&](bool active) { ended = !active; });
  TickGaps gaps;
  const auto start = std::chrono::steady_clock::now();
  desktop.window()->action(ui::Command::Connect)->trigger();
  RunEvents([&] { return ended; }, 30 * 60 * 1000);
  round.guiSeconds = Seconds(std::chrono::steady_clock::now() - start);
  const std::vector<double> sorted = gaps.Stop();
  round.maxGap = sorted.back();
  round.p99Gap = Percentile(sorted, 99);
  round.complete = ended && gui.sink.Mails().size() == std::size_t(count);
  bool quit = false;
  QObject::connect(&desktop, &ui::Desktop::finished, [&](int) { quit = true; });
  desktop.Quit(ui::Desktop::QuitSource::Signal);
  RunEvents([&] { return quit; }, 60000);
  return round;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TempFolder home;
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
    std::filesystem::create_directory(home.File(name));
    std::filesystem::permissions(home.File(name), std::filesystem::perms::owner_all);
    qputenv(name, QByteArray::fromStdString(home.File(name)));
  }
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);

  std::printf("%d messages a pass; round: cli run --once s, window pass s, ratio, tick gap max ms, p99 ms, idle max ms\n",
              count);
  std::vector<double> ratios, maxGaps, p99s;
  for (int r = 0; r < rounds; ++r) {
    const Round round = RunRound(count, home.File("XDG_CONFIG_HOME"));
    if (!round.complete) {
      std::fprintf(stderr, "round %d: not every message was delivered (servers missing?)\n", r + 1);
      return 1;
    }
    std::printf("round %d: %6.2f %6.2f %5.2f %6.1f %6.1f %6.1f\n", r + 1, round.cliSeconds, round.guiSeconds,
                round.guiSeconds / round.cliSeconds, round.maxGap, round.p99Gap, round.idleMaxGap);
    std::fflush(stdout);
    ratios.push_back(round.guiSeconds / round.cliSeconds);
    maxGaps.push_back(round.maxGap);
    p99s.push_back(round.p99Gap);
  }
  for (auto* values : {&ratios, &maxGaps, &p99s}) std::sort(values->begin(), values->end());
  const std::size_t mid = ratios.size() / 2;
  std::printf("median: window/cli %.2f (target <= 1.30), tick gap max %.1f ms (target < 100), p99 %.1f ms\n",
              ratios[mid], maxGaps[mid], p99s[mid]);
  std::printf("worst:  window/cli %.2f, tick gap max %.1f ms\n", ratios.back(), maxGaps.back());
  return 0;
}
