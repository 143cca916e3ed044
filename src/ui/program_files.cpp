#include "ui/program_files.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace velnora::ui {
namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

}  // namespace

QString DataFolder() {
  const QString besideProgram = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/velnora");
  for (const QString& folder : {besideProgram, Text(VELNORA_INSTALLED_DATA_DIR), Text(VELNORA_SOURCE_DATA_DIR)}) {
    if (!folder.isEmpty() && QFileInfo(folder + QStringLiteral("/readme.html")).isFile()) {
      return QDir::cleanPath(folder);
    }
  }
  return {};
}

QString ProgramFilePath(const QString& name) {
  const QString folder = DataFolder();
  if (folder.isEmpty() || name.contains(QStringLiteral(".."))) return {};
  const QString path = folder + QLatin1Char('/') + name;
  return QFileInfo(path).isFile() ? path : QString();
}

bool OpenProgramFile(const QString& name) {
  const QString path = ProgramFilePath(name);
  return !path.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool IsWebAddress(const QUrl& url) {
  return url.isValid() && !url.host().isEmpty() &&
         (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"));
}

QUrl ProductPage() {
  const QUrl page(Text(VELNORA_PRODUCT_PAGE));
  return IsWebAddress(page) ? page : QUrl();
}

QString HistoryViewerPath() {
  const QFileInfo viewer(QCoreApplication::applicationDirPath() + QStringLiteral("/velnoraview"));
  return viewer.isFile() && viewer.isExecutable() ? viewer.absoluteFilePath() : QString();
}

}  // namespace velnora::ui
