#include "ui/settings_sheet.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QLabel>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>

#include "config/all_accounts.h"
#include "config/field_access.h"
#include "config/field_store_rules.h"
#include "config/field_values.h"
#include "config/word_list.h"
#include "engine/context.h"
#include "engine/history/runtime_state.h"
#include "ui/all_accounts_menu.h"
#include "ui/field_labels.h"
#include "ui/program_files.h"
#include "ui/provider_dialog.h"
#include "ui/settings_session.h"
#include "ui/settings_sheet_choice.h"
#include "ui/settings_sub_dialog.h"
#include "ui/ui_text.h"
#include "ui/user_dialogs.h"

namespace velnora::ui {

namespace {

const QString kTitle = QStringLiteral("環境設定");

struct PageInfo {
  SettingsPage page;
  const char16_t* caption;
};
constexpr PageInfo kPages[] = {
    {SettingsPage::Server, u"アカウント"},
    {SettingsPage::PartProcessing, u"メール処理"},
    {SettingsPage::Filters, u"フィルタ設定"},
    {SettingsPage::Antispam, u"スパム対策/特別"},
    {SettingsPage::Advanced, u"高度なオプション"},
    {SettingsPage::FeaturePhone, u"携帯(ガラケー)"},
    {SettingsPage::Schedule, u"スケジュール"},
    {SettingsPage::Common, u"共通設定"},
};

// Writes into `live` the bytes that the sheet changed between `before` and
// `after`, so nothing else in the record is replaced by the sheet's copy.
void CopyChanges(std::span<const uint8_t> before, std::span<const uint8_t> after, std::span<uint8_t> live) {
  for (std::size_t i = 0; i < live.size(); ++i) {
    if (before[i] != after[i]) live[i] = after[i];
  }
}

// What the COPY button takes from a list, and the most it copies.
constexpr std::size_t kFilterCopyInput = 4096;
constexpr std::size_t kFilterCopyOutput = 8192;
constexpr int kOfferedServers = 20;

// The different server names the accounts use, in account order.
void OfferServerNames(const SettingsImage& settings, SheetPlace& place) {
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

bool ParseWhole(std::string_view text, int64_t& value) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

SettingsSheet::SettingsSheet(SettingsImage& settings, int account, UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      account_(account == kTemplateIndex || (account >= 0 && account < kAccountCount) ? account : 0),
      dialogs_(dialogs),
      working_(std::make_unique<EditedRecords>(EditedRecords{settings.accounts[account_], settings.extras[account_], settings.common})) {
  setWindowTitle(kTitle);
  setObjectName(QStringLiteral("settingsSheet"));
  smtpAuthDialog_ = new SettingsSubDialog(QStringLiteral("SMTP認証"),
                                          QStringLiteral("空欄時は、受信用のユーザーID/パスワードを使用"), this);
  smtpAuthDialog_->setObjectName(QStringLiteral("smtpAuthDialog"));
  separateSmtpDialog_ = new SettingsSubDialog(QStringLiteral("他のSMTPサーバーで送信"), QString(), this);
  separateSmtpDialog_->setObjectName(QStringLiteral("separateSmtpDialog"));
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget;
  layout->addWidget(tabs_);
  for (const PageInfo& page : kPages) {
    const bool forAccount = page.page != SettingsPage::Common;
    if (!forAccount && account_ == kTemplateIndex) continue;
    const int index = tabs_->count();
    const std::size_t first = fields_.size();
    tabs_->addTab(MakePage(page.page, forAccount), QString::fromUtf16(page.caption));
    for (std::size_t i = first; i < fields_.size(); ++i) fields_[i].page = index;
  }
  for (Placed& placed : fields_) placed.field->MarkLoaded();
  FollowRemoteControl();
  FollowDeleteSwitch();
  OfferAllAccounts();
  hint_ = new QLabel;
  hint_->setObjectName(QStringLiteral("hint"));
  hint_->setStyleSheet(QStringLiteral("color: #c00000"));
  hint_->setWordWrap(true);
  layout->addWidget(hint_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &SettingsSheet::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &SettingsSheet::reject);
  layout->addWidget(buttons);
  resize(860, 640);  // all eight tab captions in one row
}

SettingsSheet::~SettingsSheet() = default;

QWidget* SettingsSheet::MakePage(SettingsPage page, bool forAccount) {
  auto* body = new QWidget;
  auto* column = new QVBoxLayout(body);
  if (forAccount) {
    const QString which = account_ == kTemplateIndex ? QStringLiteral("設定テンプレート")
                                                     : QStringLiteral("アカウント(%1)").arg(account_);
    const FieldInfo* name = FindField(SettingsRecord::Account, "accountName");
    auto* header = new QLabel(which + QStringLiteral("  ") + FromCp932(ReadText(RecordBytes(working_->account), *name)));
    header->setObjectName(QStringLiteral("accountTitle"));
    header->setTextFormat(Qt::PlainText);
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
    column->addWidget(header);
  }
  if (page == SettingsPage::Server) column->addWidget(ServerButtons());
  auto* form = new QFormLayout;
  column->addLayout(form);
  column->addStretch();
  column->addWidget(HelpButton(page), 0, Qt::AlignRight);
  SheetPlace place{form, &choices_, {}, {}};
  if (page == SettingsPage::Server) OfferServerNames(settings_, place);
  for (const FieldInfo* field : FieldsInPageOrder(page, forAccount)) {
    PlaceField(*field, place, form, working_->Bytes(field->record));
  }
  auto* scroll = new QScrollArea;
  scroll->setWidgetResizable(true);
  scroll->setWidget(body);
  return scroll;
}

void SettingsSheet::PlaceField(const FieldInfo& field, SheetPlace& place, QFormLayout* pageForm,
                               std::span<const uint8_t> record) {
  SettingsSubDialog* dialog = DialogFor(ServerDialogOf(field.name));
  place.form = dialog ? dialog->form() : pageForm;
  fields_.push_back({MakeSheetField(field, record, place), -1});
  SheetField* made = fields_.back().field.get();
  if (dialog) dialog->Attach(made);
  if (HasCopyButton(field.name)) {
    auto* copy = new QPushButton(QStringLiteral("COPY"));
    copy->setObjectName(FieldObjectName(field) + QStringLiteral("Copy"));
    copy->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(copy, &QPushButton::clicked, this, [this, made] { CopyToClipboard(*made); });
    pageForm->addRow(QString(), copy);
  }
}

SettingsSubDialog* SettingsSheet::DialogFor(ServerDialog which) const {
  switch (which) {
    case ServerDialog::SmtpAuth: return smtpAuthDialog_;
    case ServerDialog::SeparateSmtp: return separateSmtpDialog_;
    case ServerDialog::None: break;
  }
  return nullptr;
}

QWidget* SettingsSheet::HelpButton(SettingsPage page) {
  auto* help = new QPushButton(QStringLiteral("Help"));
  help->setObjectName(QStringLiteral("help"));
  const QString name = HelpPageOf(page);
  help->setProperty("helpPage", name);
  connect(help, &QPushButton::clicked, this, [this, name] {
    if (!OpenProgramFile(name)) {
      dialogs_.Tell(QStringLiteral("ファイルを開けませんでした。\n%1").arg(name), kTitle, BoxIcon::Warning);
    }
  });
  return help;
}

// One entry per line, for editing in a text editor and pasting back.
void SettingsSheet::CopyToClipboard(const SheetField& list) {
  std::string cp932;
  list.Value(cp932);
  if (cp932.size() > kFilterCopyInput) cp932.resize(kFilterCopyInput);
  if (NormalizeWordList(cp932, cp932.size() + 1).empty()) return;
  const QString lines = FromCp932(WordListLines(cp932, kFilterCopyOutput));
  QApplication::clipboard()->setText(lines);
  const QStringList first = lines.split(QStringLiteral("\r\n")).mid(0, 5);
  dialogs_.Tell(QStringLiteral("フィルタ文字を「改行」で区切って、クリップボードにコピーしました。\n"
                               "テキストエディタで編集後、ペーストしてください。"
                               "\r\n\r\n----(CLIPBOARD)----\r\n") +
                    first.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n  :\r\n"),
                QStringLiteral("確認"));
}

QWidget* SettingsSheet::ServerButtons() {
  auto* row = new QWidget;
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(0, 0, 0, 0);
  auto* provider = new QPushButton(QStringLiteral("プロバイダ選択"));
  provider->setObjectName(QStringLiteral("chooseProvider"));
  connect(provider, &QPushButton::clicked, this, &SettingsSheet::ChooseProvider);
  line->addWidget(provider);
  auto* auth = new QPushButton(QStringLiteral("ID/パスワード"));
  auth->setObjectName(QStringLiteral("smtpAuthButton"));
  connect(auth, &QPushButton::clicked, smtpAuthDialog_, &SettingsSubDialog::Show);
  line->addWidget(auth);
  auto* separate = new QPushButton(QStringLiteral("別の送信サーバー"));
  separate->setObjectName(QStringLiteral("separateSmtpButton"));
  connect(separate, &QPushButton::clicked, separateSmtpDialog_, &SettingsSubDialog::Show);
  line->addWidget(separate);
  auto* unforward = new QPushButton(QStringLiteral("今すぐ全メールを未転送にする"));
  unforward->setObjectName(QStringLiteral("unforwardNow"));
  connect(unforward, &QPushButton::clicked, this, &SettingsSheet::Unforward);
  line->addWidget(unforward);
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

// The boxes that can be set for every account at once (the template is
// not an account; its sheet does not offer it).
void SettingsSheet::OfferAllAccounts() {
  if (account_ == kTemplateIndex || !AllAccountsMenuEnabled(working_->common)) return;
  for (const Placed& placed : fields_) {
    const FieldInfo& field = placed.field->info();
    auto* button = qobject_cast<QAbstractButton*>(placed.field->widget());
    if (!button || !OffersAllAccounts(field.name)) continue;
    const auto apply = [this, &field](bool value) { SetAllAccounts(field, value); };
    InstallAllAccountsMenu(*button, button->text(), SenseOf(field), dialogs_, apply);
    const auto row = choices_.find(ChoiceGroupOf(field.name));
    if (row == choices_.end()) continue;
    // The other button of a pair (TEXT beside HTML) checked means the flag off.
    QAbstractButton* neutral = row->second.group->buttons().front();
    InstallAllAccountsMenu(*neutral, neutral->text(), BoxSense::CheckedIsZero, dialogs_, apply);
  }
}

// Done at once and saved: the question said it cannot be undone. The fields
// it changed in this account are shown anew and count as unchanged.
void SettingsSheet::SetAllAccounts(const FieldInfo& field, bool value) {
  SetForAllAccounts(settings_, field, value);
  for (const Placed& placed : fields_) {
    const FieldInfo& info = placed.field->info();
    if (info.record == SettingsRecord::Common) continue;
    const auto live = (info.record == SettingsRecord::Account ? RecordBytes(settings_.accounts[account_])
                                                              : RecordBytes(settings_.extras[account_]))
                          .subspan(info.offset, info.size);
    const auto mine = working_->Bytes(info.record).subspan(info.offset, info.size);
    if (std::equal(live.begin(), live.end(), mine.begin())) continue;
    std::copy(live.begin(), live.end(), mine.begin());
    placed.field->Show(working_->Bytes(info.record));
    placed.field->MarkLoaded();
  }
  if (saveNow_ && !saveNow_()) {
    dialogs_.Tell(QStringLiteral("環境設定ファイルを保存できませんでした。"), kTitle, BoxIcon::Warning);
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

const SettingsSheet::Placed* SettingsSheet::Find(std::string_view name) const {
  for (const Placed& placed : fields_) {
    if (placed.field->info().name == name) return &placed;
  }
  return nullptr;
}

bool SettingsSheet::Refuse(const Placed& placed, const QString& text) {
  tabs_->setCurrentIndex(placed.page);
  for (SettingsSubDialog* dialog : {smtpAuthDialog_, separateSmtpDialog_}) {
    if (dialog->Holds(placed.field.get())) dialog->Show();
  }
  placed.field->widget()->setFocus();
  hint_->setText(text);
  dialogs_.Tell(text, kTitle, BoxIcon::Warning);
  return false;
}

// Checks one changed field as `set` does and stores it into `copy`; false
// after telling the user why it was refused.
bool SettingsSheet::StoreField(const Placed& placed, EditedRecords& copy) {
  const SheetField& field = *placed.field;
  const FieldInfo& info = field.info();
  const QString label = FieldLabel(info.name);
  std::string value;
  if (!field.Value(value)) {
    QString text = QStringLiteral("「%1」に、Shift_JIS で表せない文字が含まれています。\n").arg(label);
    if (const QString chars = field.Unencodable(); !chars.isEmpty()) text += QStringLiteral("（%1）\n").arg(chars);
    return Refuse(placed, text + QStringLiteral("その文字を使わずに入力してください。"));
  }
  int64_t number = 0;
  if (info.Has(kPortNumber) && ParseWhole(value, number) && number < field.Minimum()) {
    return Refuse(placed, QStringLiteral("「%1」には %2..%3 を入力してください。")
                              .arg(label).arg(field.Minimum()).arg(field.Maximum()));
  }
  if (info.Has(kWordList) && CountQuotes(value) % 2 != 0) {
    tabs_->setCurrentIndex(placed.page);
    const QString question = QStringLiteral("「%1」の「\"」（ダブルクォーテーション）の数が奇数です（%2個）。\n"
                                            "このまま保存しますか？").arg(label).arg(CountQuotes(value));
    if (!dialogs_.AskYesNo(question, kTitle, BoxIcon::Warning)) {
      field.widget()->setFocus();
      return false;
    }
  }
  if (const std::string refusal = StoreFieldValue(copy.Bytes(info.record), info, value); !refusal.empty()) {
    return Refuse(placed, QStringLiteral("「%1」の値を保存できません。\n%2").arg(label, FromCp932(refusal)));
  }
  return true;
}

bool SettingsSheet::Store() {
  auto copy = std::make_unique<EditedRecords>(*working_);
  std::vector<const FieldInfo*> changed;
  std::vector<SettingsPage> pages;
  for (const Placed& placed : fields_) {
    const SheetField& field = *placed.field;
    if (!field.Touched()) continue;
    if (!StoreField(placed, *copy)) return false;
    const FieldInfo& info = field.info();
    changed.push_back(&info);
    if (std::find(pages.begin(), pages.end(), info.page) == pages.end()) pages.push_back(info.page);
  }
  for (SettingsRecord kind : {SettingsRecord::Account, SettingsRecord::Extra, SettingsRecord::Common}) {
    std::vector<const FieldInfo*> assigned;
    std::copy_if(changed.begin(), changed.end(), std::back_inserter(assigned),
                 [kind](const FieldInfo* f) { return f->record == kind; });
    if (assigned.empty()) continue;
    const StoreRulesOutcome outcome = ApplyStoreRules(copy->Bytes(kind), kind, pages, assigned);
    if (!outcome.error.empty()) {
      const Placed* first = Find(assigned.front()->name);
      return Refuse(*first, QStringLiteral("両方を同時に選ぶことはできません。\n") + FromCp932(outcome.error));
    }
  }
  // A start-up password check without a password would lock the user out.
  const Placed* require = Find("requirePassword");
  const Placed* password = Find("startupPassword");
  if (require && password && (require->field->Touched() || password->field->Touched()) &&
      copy->common.requirePassword != 0 && copy->common.startupPassword[0] == '\0') {
    return Refuse(*password, QStringLiteral("「%1」を使うには「%2」を入力してください。")
                                 .arg(FieldLabel("requirePassword"), FieldLabel("startupPassword")));
  }
  CopyChanges(RecordBytes(working_->account), RecordBytes(copy->account), RecordBytes(settings_.accounts[account_]));
  CopyChanges(RecordBytes(working_->extra), RecordBytes(copy->extra), RecordBytes(settings_.extras[account_]));
  CopyChanges(RecordBytes(working_->common), RecordBytes(copy->common), RecordBytes(settings_.common));
  if (const Placed* capacity = Find("maxHeldMailsNext"); capacity && capacity->field->Touched()) {
    TellIfCapacityChanged(settings_.common);
  }
  return true;
}

// The mailbox capacity is fixed while the program runs.
void SettingsSheet::TellIfCapacityChanged(const CommonSettings& stored) {
  const int now = stored.maxHeldMails;
  const int next = stored.maxHeldMailsNext;
  if (now == next) return;
  dialogs_.Tell(QStringLiteral("メールの最大保持数が %1 から %2 に変更されました。\n"
                               "変更を有効にするには、Velnoraを終了して、再起動する必要があります。")
                    .arg(now)
                    .arg(next),
                QStringLiteral("アプリケーションを再起動"));
}

void SettingsSheet::accept() {
  if (Store()) QDialog::accept();
}

void OpenSettingsSheet(SettingsSession& session, UserDialogs& dialogs, int account, QWidget* parent) {
  const SettingsSession::Hold hold = session.Begin();
  if (!hold) return dialogs.Tell(SettingsSession::BusyText(), SettingsSession::BusyTitle(), BoxIcon::Warning);
  SettingsSheet sheet(*session.context().settings, account, dialogs, parent);
  sheet.SetSaveNow([&session] { return session.Commit(); });
  if (account >= 0 && account < kAccountCount) {
    sheet.SetUnforward([&session, account] { return UnforwardAccount(session.context(), account); });
  }
  if (sheet.exec() != QDialog::Accepted) return;
  if (!session.Commit()) {
    dialogs.Tell(QStringLiteral("環境設定ファイルを保存できませんでした。\n%1")
                     .arg(QString::fromStdString(session.context().location.SettingsPath())),
                 kTitle, BoxIcon::Warning);
  }
}

}  // namespace velnora::ui
