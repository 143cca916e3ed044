// The window's commands that work on the settings as a whole: backup,
// restore, taking over an older edition's settings, the account CSV and
// "mark all as forwarded". Each holds the worker off through the settings
// session and puts its questions through UserDialogs.
#pragma once

#include "config/display_area.h"

namespace velnora {
class Context;
}

namespace velnora::ui {

class SettingsSession;
class UserDialogs;

class SettingsCommands {
 public:
  SettingsCommands(SettingsSession& session, UserDialogs& dialogs, DisplayArea screen);

  void Backup();
  void Restore();
  void ImportOlder();
  void ExportCsv();
  void ImportCsv();
  void MarkAllForwarded();

 private:
  Context& ctx();
  // Tells the user the settings could not be written.
  void SaveOrTell();

  SettingsSession& session_;
  UserDialogs& dialogs_;
  DisplayArea screen_;
};

}  // namespace velnora::ui
