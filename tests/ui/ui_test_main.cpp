// The window tests need one QApplication; they run on the offscreen
// platform, with the user's folders inside a temporary folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>

#include "support/temp_folder.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  velnora::testing::TempFolder home;
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
    const std::string folder = home.File(name);
    std::filesystem::create_directory(folder);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    qputenv(name, QByteArray::fromStdString(folder));
  }
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
