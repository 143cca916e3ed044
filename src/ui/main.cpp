// velnora: the desktop program. Takes the settings of the current folder
// (or of --dir FOLDER) the way velnora-cli does.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>

#include "platform/files.h"
#include "platform/stop_signals.h"
#include "ui/desktop.h"
#include "ui/ui_strings.h"

namespace {

// A refusal goes to the error stream and, where someone can see it, a box.
void ShowFatal(const QString& text) {
  std::fprintf(stderr, "velnora: %s\n", text.toUtf8().constData());
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) return;
  QMessageBox box(QMessageBox::Warning, velnora::ui::StartingUpTitle(), text, QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace velnora;
  // Before any thread exists, so that only this thread takes them.
  platform::StopSignals stopSignals;
  QApplication app(argc, argv);
  // A message box closed while the window sits in the tray must not end the program.
  QApplication::setQuitOnLastWindowClosed(false);

  std::string folder = platform::CurrentFolder();
  const QStringList args = QApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--dir") && i + 1 < args.size()) {
      folder = args[++i].toStdString();
    } else {
      std::fprintf(stderr, "usage: velnora [--dir FOLDER]\n");
      return 2;
    }
  }

  ui::Desktop desktop(SettingsLocation::ForFolder(folder), &stopSignals);
  switch (desktop.Open()) {
    case ui::Desktop::Start::Running: break;
    case ui::Desktop::Start::HandedOver:
    case ui::Desktop::Start::Cancelled:
      return 0;
    case ui::Desktop::Start::Refused:
    case ui::Desktop::Start::Failed:
      ShowFatal(desktop.refusal());
      return 1;
  }
  QObject::connect(&desktop, &ui::Desktop::finished, &app, &QApplication::exit);
  return app.exec();
}
