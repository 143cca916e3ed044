// The settings sheet "環境設定": the pages of one account (or of the
// template) and the program-wide page, each made from the field table. The
// pages edit a working copy; OK checks every changed field as the command
// line's `set` does, applies the pages' store rules once and only then
// writes the copy into the settings. Cancel leaves the settings untouched.
#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "config/field_access.h"
#include "config/field_table.h"
#include "config/provider_presets.h"
#include "config/settings_image.h"
#include "ui/settings_sheet_field.h"
#include "ui/settings_sheet_layout.h"

class QFormLayout;
class QLabel;
class QTabWidget;

namespace velnora::ui {

class SettingsSession;
class SettingsSubDialog;
class UserDialogs;

class SettingsSheet : public QDialog {
  Q_OBJECT
 public:
  // `account` 0..399, or kTemplateIndex for the template (without the
  // program-wide page). Questions and refusals go through `dialogs`.
  SettingsSheet(SettingsImage& settings, int account, UserDialogs& dialogs, QWidget* parent = nullptr);
  ~SettingsSheet() override;

  // Stores the working copy when every changed field is acceptable; stays
  // open otherwise, the refused field in front with its hint.
  void accept() override;

  QTabWidget* tabs() const { return tabs_; }
  // "環境設定": the sheet's title, also of its notices.
  static QString Title();

  // "今すぐ全メールを未転送にする" runs `unforward` for the account after
  // the user agreed (not offered without it, nor for the template).
  void SetUnforward(std::function<bool()> unforward) { unforward_ = std::move(unforward); }
  // Saves the settings at once: the all-accounts change cannot wait for OK.
  void SetSaveNow(std::function<bool()> save) { saveNow_ = std::move(save); }
  // "プロバイダ選択": the chosen preset into the Server page's fields.
  void FillFromPreset(const ProviderPreset& preset);

 private:
  struct Placed {
    std::unique_ptr<SheetField> field;
    int page;  // tab index
  };

  static void OfferServerNames(const SettingsImage& settings, SheetPlace& place);
  QWidget* MakePage(SettingsPage page, bool forAccount);
  void PlaceField(const FieldInfo& field, SheetPlace& place, QFormLayout* pageForm, std::span<const uint8_t> record);
  SettingsSubDialog* DialogFor(ServerDialog which) const;
  void FollowRemoteControl();
  void FollowDeleteSwitch();
  void OfferAllAccounts();
  void SetAllAccounts(const FieldInfo& field, bool value);
  QWidget* ServerButtons();
  QWidget* HelpButton(SettingsPage page);
  void CopyToClipboard(const SheetField& list);
  void TellIfCapacityChanged(const CommonSettings& stored);
  void ChooseProvider();
  void Unforward();
  bool Store();
  bool StoreField(const Placed& placed, EditedRecords& copy);
  bool Refuse(const Placed& placed, const QString& text);
  const Placed* Find(std::string_view name) const;

  SettingsImage& settings_;
  int account_;
  UserDialogs& dialogs_;
  std::unique_ptr<EditedRecords> working_;  // the records as the sheet opened them
  std::map<std::string_view, ChoiceRow> choices_;  // before fields_, which refer to it
  std::vector<Placed> fields_;
  SettingsSubDialog* smtpAuthDialog_;
  SettingsSubDialog* separateSmtpDialog_;
  QTabWidget* tabs_;
  QLabel* hint_;
  std::function<bool()> unforward_;
  std::function<bool()> saveNow_;
};

// Opens the sheet while holding the settings session (refused while a pass
// runs) and saves once when the user pressed OK.
void OpenSettingsSheet(SettingsSession& session, UserDialogs& dialogs, int account, QWidget* parent);

}  // namespace velnora::ui
