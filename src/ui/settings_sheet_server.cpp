// The Server page's own controls: its buttons, the server names it offers
// and the boxes that follow another box.
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QWidget>

#include "config/field_access.h"
#include "config/word_list.h"
#include "ui/provider_dialog.h"
#include "ui/settings_sheet.h"
#include "ui/settings_sheet_choice.h"
#include "ui/settings_sub_dialog.h"
#include "ui/ui_text.h"
#include "ui/user_dialogs.h"

namespace velnora::ui {
namespace {

constexpr int kOfferedServers = 20;  // names in each server box

}  // namespace

// The different server names the accounts use, in account order.
void SettingsSheet::OfferServerNames(const SettingsImage& settings, SheetPlace& place) {
  for (int i = 0; i < kAccountCount; ++i) {
    const AccountSettings& account = settings.accounts[i];
    const QString pop = FromCp932(FieldText(account.popServer, sizeof account.popServer));
    const QString smtp = FromCp932(FieldText(account.smtpServer, sizeof account.smtpServer));
    if (!pop.isEmpty() && !place.popServers.contains(pop) && place.popServers.size() < kOfferedServers) {
      place.popServers << pop;
    }
    if (!smtp.isEmpty() && !place.smtpServers.contains(smtp) && place.smtpServers.size() < kOfferedServers) {
      place.smtpServers << smtp;
    }
  }
}

QWidget* SettingsSheet::ServerButtons() {
  auto* row = new QWidget;
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(0, 0, 0, 0);
  const auto add = [line](const QString& text, const char* name) {
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromLatin1(name));
    line->addWidget(button);
    return button;
  };
  connect(add(QStringLiteral("プロバイダ選択"), "chooseProvider"), &QPushButton::clicked, this,
          &SettingsSheet::ChooseProvider);
  connect(add(QStringLiteral("ID/パスワード"), "smtpAuthButton"), &QPushButton::clicked, smtpAuthDialog_,
          &SettingsSubDialog::Show);
  connect(add(QStringLiteral("別の送信サーバー"), "separateSmtpButton"), &QPushButton::clicked, separateSmtpDialog_,
          &SettingsSubDialog::Show);
  QPushButton* unforward = add(QStringLiteral("今すぐ全メールを未転送にする"), "unforwardNow");
  connect(unforward, &QPushButton::clicked, this, &SettingsSheet::Unforward);
  line->addStretch();
  // Built before SetUnforward: whether it is offered is decided when shown.
  unforward->setVisible(account_ != kTemplateIndex);
  return row;
}

void SettingsSheet::ChooseProvider() {
  std::string address;
  if (const Placed* mine = Find("myAddress")) mine->field->Value(address);
  const std::vector<ProviderPreset> presets = ProviderDialog::Installed();
  ProviderDialog dialog(presets, address, this);
  if (dialog.exec() != QDialog::Accepted || dialog.chosen() < 0) return;
  FillFromPreset(presets[std::size_t(dialog.chosen())]);
}

void SettingsSheet::FillFromPreset(const ProviderPreset& preset) {
  AccountSettings filled = working_->account;
  ApplyPreset(preset, filled);
  static constexpr std::string_view kFilled[] = {"popServer",  "smtpServer", "popPort",    "smtpPort",
                                                 "popSsl",     "smtpSsl",    "useApop",    "smtpAuth",
                                                 "popDelayOn", "smtpDelayOn", "popDelaySec", "smtpDelaySec"};
  for (std::string_view name : kFilled) {
    // A preset without a port leaves the page's port: 0 is no port to store.
    if ((name == "popPort" && preset.popPort <= 0) || (name == "smtpPort" && preset.smtpPort <= 0)) continue;
    if (const Placed* placed = Find(name)) placed->field->Show(RecordBytes(filled));
  }
}

// The history and UIDLs go at once (they are not settings the sheet could
// keep back until OK); the page's "mark all as forwarded" box is cleared.
void SettingsSheet::Unforward() {
  if (!unforward_) return;
  const FieldInfo* name = FindField(SettingsRecord::Account, "accountName");
  const QString account = FromCp932(ReadText(RecordBytes(working_->account), *name));
  if (!dialogs_.AskYesNo(QStringLiteral("アカウント[%1]のメールボックスの全てのメールを未転送にします。次回、メールボックスにある"
                                        "全てのメールが再転送されます。\nよろしいですか？")
                             .arg(account),
                         QStringLiteral("全てのメールを未転送に"))) {
    return;
  }
  if (!unforward_()) return;
  if (const Placed* mark = Find("markAllForwardedNext")) {
    if (auto* box = qobject_cast<QCheckBox*>(mark->field->widget())) box->setChecked(false);
  }
}

// A suspension by remote control can be lifted only by remote control, so
// while that is off the box is cleared (stored at OK) and cannot be set: an
// account suspended at start-up would otherwise never forward again.
void SettingsSheet::FollowRemoteControl() {
  const Placed* suspended = Find("remoteSuspended");
  if (!suspended) return;
  auto* box = qobject_cast<QCheckBox*>(suspended->field->widget());
  const auto follow = [box](bool remoteOn) {
    if (!remoteOn) box->setChecked(false);
    box->setEnabled(remoteOn);
  };
  if (const Placed* remote = Find("remoteControl")) {
    auto* control = qobject_cast<QCheckBox*>(remote->field->widget());
    follow(control->isChecked());
    connect(control, &QCheckBox::toggled, box, follow);
  } else {
    follow(working_->common.remoteControl != 0);  // the template: as the program-wide setting has it
  }
}

// The delete choices mean something only while deleting is switched on.
void SettingsSheet::FollowDeleteSwitch() {
  const Placed* on = Find("deleteAfterForward");
  const auto row = choices_.find(ChoiceGroupOf("spamEraser"));
  if (!on || row == choices_.end()) return;
  auto* box = qobject_cast<QCheckBox*>(on->field->widget());
  row->second.row->setEnabled(box->isChecked());
  connect(box, &QCheckBox::toggled, row->second.row, &QWidget::setEnabled);
}
}  // namespace velnora::ui
