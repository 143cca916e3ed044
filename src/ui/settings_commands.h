// The window's commands that work on the settings as a whole: backup,
// restore, taking over an older edition's settings, the account CSV and
// "mark all as forwarded", the account list sheet and the template dialogs.
// Each holds the worker off through the settings
// session and puts its questions through UserDialogs.
#pragma once

#include <functional>

#include "config/display_area.h"
#include "config/filter_addition.h"
#include "report/reporter.h"

class QWidget;

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
  // The account list sheet; `openSettings` opens the settings sheet on one
  // account from its right-click menu (none: not offered).
  void AccountList(QWidget* parent, std::function<void(int)> openSettings);
  void ApplyTemplate(QWidget* parent);
  void CopyToTemplate(QWidget* parent);
  // "ログの情報" for one activity-list line.
  void LogDetails(QWidget* parent, const ActivityRow& row);
  // Its two buttons: the line's sender or subject into the account's filter.
  void AddToFilter(const ActivityRow& row, FilterList list);

 private:
  Context& ctx();
  // Tells the user the settings could not be written.
  void SaveOrTell();

  SettingsSession& session_;
  UserDialogs& dialogs_;
  DisplayArea screen_;
  // The template dialogs' numbers, kept between openings.
  int templateFirst_ = 0;
  int templateLast_ = 0;
  int copyAccount_ = 0;
};

}  // namespace velnora::ui
