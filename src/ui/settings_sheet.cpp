#include "ui/settings_sheet.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>

#include "config/field_access.h"
#include "config/field_store_rules.h"
#include "config/field_values.h"
#include "config/word_list.h"
#include "engine/context.h"
#include "engine/history/runtime_state.h"
#include "ui/field_labels.h"
#include "ui/settings_session.h"
#include "ui/settings_sheet_choice.h"
#include "ui/settings_sub_dialog.h"
#include "ui/ui_text.h"
#include "ui/user_dialogs.h"

namespace velnora::ui {

namespace {


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
  setWindowTitle(Title());
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

QString SettingsSheet::Title() { return QStringLiteral("環境設定"); }

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
  dialogs_.Tell(text, Title(), BoxIcon::Warning);
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
    if (!dialogs_.AskYesNo(question, Title(), BoxIcon::Warning)) {
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
                 SettingsSheet::Title(), BoxIcon::Warning);
  }
}

}  // namespace velnora::ui
