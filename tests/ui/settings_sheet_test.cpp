// The settings sheet over the whole field table: opening and pressing OK
// keeps every byte, Cancel keeps every byte whatever was typed, a value
// typed into a widget is stored exactly as `velnora-cli set` stores it, and
// what the set path refuses the sheet refuses too.
#include <gtest/gtest.h>

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QRadioButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <algorithm>
#include <deque>
#include <vector>

#include "config/field_access.h"
#include "config/field_store_rules.h"
#include "config/field_values.h"
#include "config/settings_defaults.h"
#include "engine/context.h"
#include "support/recording_reporter.h"
#include "support/temp_folder.h"
#include "support/test_text.h"
#include "ui/desktop.h"
#include "ui/scripted_user.h"
#include "ui/field_labels.h"
#include "ui/settings_sheet.h"
#include "ui/ui_text.h"

namespace velnora::ui {
namespace {

using velnora::testing::RecordingReporter;
using velnora::testing::ScopedEnv;
using velnora::testing::SetText;
using velnora::testing::TempFolder;

constexpr int kAccount = 5;
const std::string kSo = "\x83\x5C";  // "ソ": its trail byte is the backslash


bool OnSheet(const FieldInfo& field, bool forTemplate) {
  if (field.IsFiller() || field.Has(kReadOnly)) return false;
  switch (field.page) {
    case SettingsPage::Runtime:
    case SettingsPage::Geometry:
    case SettingsPage::Identification:
    case SettingsPage::Unused:
      return false;
    case SettingsPage::Common:
      return !forTemplate;
    default:
      return true;
  }
}

std::vector<const FieldInfo*> SheetFields(bool forTemplate) {
  std::vector<const FieldInfo*> fields;
  for (const FieldInfo& field : AllFields()) {
    if (OnSheet(field, forTemplate)) fields.push_back(&field);
  }
  return fields;
}

using Records = EditedRecords;

// The first field whose bytes differ, for a readable failure.
std::string FirstDifference(Records& a, Records& b) {
  for (const FieldInfo& field : AllFields()) {
    const auto x = a.Bytes(field.record).subspan(field.offset, field.size);
    const auto y = b.Bytes(field.record).subspan(field.offset, field.size);
    if (!std::equal(x.begin(), x.end(), y.begin())) return std::string(field.name);
  }
  return {};
}

class SettingsSheetTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeFreshTable(*ctx.settings, DisplayArea{}); }

  SettingsImage& image() { return *ctx.settings; }
  std::unique_ptr<Records> Current(int account = kAccount) {
    return std::make_unique<Records>(Records{image().accounts[account], image().extras[account], image().common});
  }
  void Put(const Records& records, int account = kAccount) {
    image().accounts[account] = records.account;
    image().extras[account] = records.extra;
    image().common = records.common;
  }
  static QWidget* Widget(SettingsSheet& sheet, const FieldInfo& field) {
    return sheet.findChild<QWidget*>(QString::fromLatin1(field.name.data(), qsizetype(field.name.size())));
  }
  // Types `cp932` into the field's widget; a flag's box shows the stored
  // value, or its opposite for the inverted ones. A flag shown as a radio
  // button is cleared by its group's neutral button; a number shown as
  // radio buttons has one per value; the schedule's boxes are hours.
  static void Type(SettingsSheet& sheet, const FieldInfo& field, const std::string& cp932) {
    QWidget* widget = Widget(sheet, field);
    ASSERT_NE(widget, nullptr) << field.name;
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
      box->setChecked((cp932 == "1") != field.Has(kInverted));
    } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
      if (cp932 == "1") return radio->setChecked(true);
      for (QAbstractButton* other : radio->group()->buttons()) {
        if (other->property("neutral").toBool()) other->setChecked(true);
      }
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
      line->setText(FromCp932(cp932));
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      combo->setEditText(FromCp932(cp932));
    } else if (field.name == "scheduleStops") {
      const QStringList masks = QString::fromStdString(cp932).split(QLatin1Char(','));
      for (QCheckBox* hour : widget->findChildren<QCheckBox*>()) {
        const uint32_t mask = masks[hour->property("day").toInt()].toUInt();
        hour->setChecked((mask >> (23 - hour->property("hour").toInt())) & 1u);
      }
    } else if (!widget->findChildren<QRadioButton*>().isEmpty()) {
      for (QRadioButton* button : widget->findChildren<QRadioButton*>()) {
        if (button->property("fieldValue").toString() == QString::fromStdString(cp932)) button->setChecked(true);
      }
    } else {
      auto* list = qobject_cast<QPlainTextEdit*>(widget);
      ASSERT_NE(list, nullptr) << field.name;
      list->setPlainText(FromCp932(cp932));
    }
  }
  static void TypeUtf8(SettingsSheet& sheet, const FieldInfo& field, const QString& text) {
    QWidget* widget = Widget(sheet, field);
    if (auto* line = qobject_cast<QLineEdit*>(widget)) line->setText(text);
    if (auto* list = qobject_cast<QPlainTextEdit*>(widget)) list->setPlainText(text);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) combo->setEditText(text);
  }
  // Where a field can be typed into freely (radio buttons hold only their values).
  static bool Typed(SettingsSheet& sheet, const FieldInfo& field) {
    QWidget* widget = Widget(sheet, field);
    return qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QComboBox*>(widget);
  }

  TempFolder folder;
  RecordingReporter reporter;
  Context ctx{reporter, SettingsLocation::ForFolder(folder.path())};
  ScriptedUser user;
};

// Values at both ends of what the sheet takes, in the form `set` takes them.
std::vector<std::string> Boundaries(const FieldInfo& field) {
  if (field.IsFlag()) return {"1", "0"};
  if (field.type == FieldType::Text) {
    const std::size_t limit = std::size_t(field.maxValue);
    std::vector<std::string> values{std::string(limit, 'a'), "b"};
    if (!field.Has(kAsciiOnly) && limit >= 2) values.push_back(std::string(limit - 2, 'c') + kSo);
    if (field.Has(kMultiLine)) values.push_back("x\ny \"p q\"");
    return values;
  }
  const int64_t low = field.Has(kPortNumber) ? 1 : field.minValue;
  std::vector<std::string> values;
  for (const int64_t v : {low, field.maxValue}) {
    std::string text = std::to_string(v);
    for (int i = 1; i < field.count; ++i) text += "," + std::to_string(v);
    values.push_back(text);
  }
  return values;
}

TEST_F(SettingsSheetTest, PagesInOrderEachFieldNamedAndLabelledPasswordsMasked) {
  for (const int account : {kAccount, kTemplateIndex}) {
    SettingsSheet sheet(image(), account, user);
    QStringList captions;
    for (int i = 0; i < sheet.tabs()->count(); ++i) captions << sheet.tabs()->tabText(i);
    QStringList expected{QStringLiteral("アカウント"), QStringLiteral("メール処理"), QStringLiteral("フィルタ設定"),
                         QStringLiteral("スパム対策/特別"), QStringLiteral("高度なオプション"),
                         QStringLiteral("携帯(ガラケー)"), QStringLiteral("スケジュール")};
    if (account != kTemplateIndex) expected << QStringLiteral("共通設定");
    EXPECT_EQ(captions, expected);
    const QString title = sheet.findChild<QLabel*>(QStringLiteral("accountTitle"))->text();
    EXPECT_TRUE(title.startsWith(account == kTemplateIndex ? QStringLiteral("設定テンプレート")
                                                           : QStringLiteral("アカウント(5)")))
        << title.toStdString();
    for (const FieldInfo* field : SheetFields(account == kTemplateIndex)) {
      EXPECT_NE(Widget(sheet, *field), nullptr) << field->name;
      EXPECT_NE(FieldLabel(field->name), QString::fromLatin1(field->name.data(), qsizetype(field->name.size())))
          << field->name << " has no label";
    }
  }
  SettingsSheet sheet(image(), kAccount, user);
  int masked = 0;
  for (QLineEdit* line : sheet.findChildren<QLineEdit*>()) {
    if (line->echoMode() != QLineEdit::Password) continue;
    ++masked;
    EXPECT_TRUE(QStringList({QStringLiteral("smtpAuthPassword"), QStringLiteral("popPassword"),
                             QStringLiteral("pbsPassword"), QStringLiteral("startupPassword"),
                             QStringLiteral("remotePassword")})
                    .contains(line->objectName()))
        << line->objectName().toStdString();
  }
  EXPECT_EQ(masked, 5);
  auto* suspended = sheet.findChild<QCheckBox*>(QStringLiteral("remoteSuspended"));
  EXPECT_FALSE(suspended->isEnabled());  // remote control is off
  sheet.findChild<QCheckBox*>(QStringLiteral("remoteControl"))->setChecked(true);
  EXPECT_TRUE(suspended->isEnabled());
}

// Every text holds as many bytes as its buffer takes, more than the sheet
// lets a user type into most of them; out-of-range numbers stay as they are.
TEST_F(SettingsSheetTest, OpeningAndOkKeepEveryByteEvenOfValuesTheSheetWouldRefuse) {
  for (const int account : {kAccount, kTemplateIndex}) {
    for (const FieldInfo* field : SheetFields(false)) {
      if (field->type != FieldType::Text) continue;
      std::string text;
      while (text.size() + 2 <= field->size - 1) text += kSo;
      if (text.size() < field->size - 1) text += 'z';
      std::span<uint8_t> bytes = field->record == SettingsRecord::Common ? RecordBytes(image().common)
                                 : field->record == SettingsRecord::Account ? RecordBytes(image().accounts[account])
                                                                            : RecordBytes(image().extras[account]);
      WriteText(bytes, *field, text);
    }
    image().common.historyLimit = -7;
    image().accounts[account].pollInterval = 0;
    image().accounts[account].popPort = 0;
    const std::vector<uint8_t> before(ImageBytes(image()).begin(), ImageBytes(image()).end());
    SettingsSheet sheet(image(), account, user);
    sheet.accept();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_TRUE(user.told.isEmpty()) << user.told.join(QLatin1Char('\n')).toStdString();
    const auto after = ImageBytes(image());
    const auto differ = std::mismatch(before.begin(), before.end(), after.begin());
    EXPECT_EQ(differ.first, before.end()) << "first changed byte " << (differ.first - before.begin());
  }
}

TEST_F(SettingsSheetTest, CancelAfterTypingIntoEveryWidgetChangesNothing) {
  const std::vector<uint8_t> before(ImageBytes(image()).begin(), ImageBytes(image()).end());
  SettingsSheet sheet(image(), kAccount, user);
  for (const FieldInfo* field : SheetFields(false)) Type(sheet, *field, Boundaries(*field).front());
  sheet.reject();
  EXPECT_TRUE(std::equal(before.begin(), before.end(), ImageBytes(image()).begin()));
  EXPECT_TRUE(user.told.isEmpty());
}

// The expectation is the command line's path: the field's value checked
// and stored, then the store rules of its page.
TEST_F(SettingsSheetTest, EachBoundaryValueIsStoredExactlyAsTheSetCommandStoresIt) {
  SetText(image().common.startupPassword, "pw");  // requirePassword=1 needs one
  // A wait of 0 shows the wait it takes (10 s, 1 s): typing that is no change.
  image().accounts[kAccount].popDelaySec = 30;
  image().accounts[kAccount].smtpDelaySec = 30;
  const std::unique_ptr<Records> base = Current();
  for (const FieldInfo* field : SheetFields(false)) {
    for (const std::string& value : Boundaries(*field)) {
      Put(*base);
      auto expected = std::make_unique<Records>(*base);
      ASSERT_EQ(StoreFieldValue(expected->Bytes(field->record), *field, value), "") << field->name;
      const SettingsPage page = field->page;
      const FieldInfo* assigned[] = {field};
      ASSERT_EQ(ApplyStoreRules(expected->Bytes(field->record), field->record, std::span(&page, 1), assigned).error,
                "");
      SettingsSheet sheet(image(), kAccount, user);
      Type(sheet, *field, value);
      sheet.accept();
      EXPECT_EQ(sheet.result(), QDialog::Accepted) << field->name << "=" << value;
      const std::unique_ptr<Records> stored = Current();
      EXPECT_EQ(FirstDifference(*stored, *expected), "") << field->name << "=" << value;
    }
  }
  // Only a new mailbox capacity is told (it takes effect at the next start).
  EXPECT_EQ(user.told.size(), 2) << user.told.join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(user.told.filter(QStringLiteral("再起動する必要があります")).size(), 2);
}

// Texts over their limit in code page 932 bytes (fewer characters than
// bytes), characters without a code page 932 form, numbers one past either
// end: each is refused with a hint, and nothing is stored.
TEST_F(SettingsSheetTest, ValuesOutsideTheLimitsAreRefusedAndNothingIsStored) {
  struct Bad {
    const FieldInfo* field;
    QString text;
  };
  std::vector<Bad> bad;
  SettingsSheet probe(image(), kAccount, user);
  for (const FieldInfo* field : SheetFields(false)) {
    if (!Typed(probe, *field)) continue;
    if (field->type == FieldType::Text) {
      const std::size_t limit = std::size_t(field->maxValue);
      bad.push_back({field, QString(qsizetype(limit + 1), QLatin1Char('a'))});
      bad.push_back({field, QStringLiteral("a\U0001F600")});  // no code page 932 form
      if (!field->Has(kAsciiOnly)) bad.push_back({field, QString(qsizetype(limit / 2 + 1), QChar(0x30BD))});  // ソ
    } else if (!field->IsFlag() && field->count == 1) {
      const int64_t low = field->Has(kPortNumber) ? 1 : field->minValue;
      // A stored value the sheet would refuse stays when untouched (0 in fetchLimit, say).
      const int64_t stored = ReadNumber(Current()->Bytes(field->record), *field);
      for (const int64_t v : {low - 1, field->maxValue + 1}) {
        if (v != stored) bad.push_back({field, QString::number(v)});
      }
    }
  }
  ASSERT_GT(bad.size(), 100u);
  const std::vector<uint8_t> before(ImageBytes(image()).begin(), ImageBytes(image()).end());
  for (const Bad& b : bad) {
    const int told = int(user.told.size());
    SettingsSheet sheet(image(), kAccount, user);
    TypeUtf8(sheet, *b.field, b.text);
    sheet.accept();
    EXPECT_NE(sheet.result(), QDialog::Accepted) << b.field->name << "=" << b.text.toStdString();
    EXPECT_EQ(user.told.size(), told + 1) << b.field->name;
    EXPECT_FALSE(sheet.findChild<QLabel*>(QStringLiteral("hint"))->text().isEmpty());
    QWidget* widget = Widget(sheet, *b.field);
    EXPECT_TRUE(sheet.tabs()->currentWidget()->isAncestorOf(widget) || widget->window()->isVisible()) << b.field->name;
  }
  EXPECT_TRUE(std::equal(before.begin(), before.end(), ImageBytes(image()).begin()));
  // The hint names the character, except in a password.
  const auto texts = std::count_if(bad.begin(), bad.end(), [](const Bad& b) { return b.text.contains(QStringLiteral("\U0001F600")); });
  EXPECT_EQ(user.told.filter(QStringLiteral("\U0001F600")).size(), texts - 5);  // five password fields
}

// Values that would do harm: a negative history limit halves the history
// at every pass, a negative time-out or size limit has no meaning, port 0
// cannot be connected to. Each is refused, the others of a row are taken.
TEST_F(SettingsSheetTest, HarmfulNumbersAreRefusedAndTheirNeighboursTaken) {
  struct Row {
    const char* name;
    const char* refused;
    const char* taken;
  };
  const Row rows[] = {
      {"historyLimit", "-1", "0"}, {"timeoutSec", "-5", "0"},      {"oversizeKb", "-1", "0"},
      {"popPort", "0", "65535"},   {"pollInterval", "1441", "1440"}, {"maxHeldMailsNext", "999", "50000"},
  };
  for (const Row& row : rows) {
    const FieldInfo* field = FindField(SettingsRecord::Common, row.name);
    if (!field) field = FindField(SettingsRecord::Account, row.name);
    ASSERT_NE(field, nullptr) << row.name;
    for (const char* value : {row.refused, row.taken}) {
      SettingsSheet sheet(image(), kAccount, user);
      Type(sheet, *field, value);
      sheet.accept();
      EXPECT_EQ(sheet.result() == QDialog::Accepted, value == row.taken) << row.name << "=" << value;
      const std::unique_ptr<Records> now = Current();
      EXPECT_EQ(FormatFieldValue(now->Bytes(field->record), *field) == value, value == row.taken) << row.name;
    }
  }
}

TEST_F(SettingsSheetTest, FilterListWithAnOpenQuoteIsStoredOnlyWhenTheUserAgrees) {
  const FieldInfo& from = *FindField(SettingsRecord::Account, "filterFrom");
  const std::unique_ptr<Records> base = Current();
  for (const bool agree : {false, true}) {
    Put(*base);
    user.answers = {agree};
    SettingsSheet sheet(image(), kAccount, user);
    Type(sheet, from, "spam@example.com \"open quote");
    EXPECT_TRUE(sheet.findChild<QLabel*>(QStringLiteral("filterFromStatus"))->text().endsWith(
        QStringLiteral("[\"]:1個 NG")));
    sheet.accept();
    EXPECT_EQ(sheet.result() == QDialog::Accepted, agree);
    EXPECT_EQ(std::string_view(image().accounts[kAccount].filterFrom),
              agree ? "spam@example.com \"open quote" : "");
  }
  EXPECT_EQ(user.asked.size(), 2);
  SettingsSheet sheet(image(), kAccount, user);
  Type(sheet, from, "a b\n\"c d\"");
  EXPECT_EQ(sheet.findChild<QLabel*>(QStringLiteral("filterFromStatus"))->text(),
            QStringLiteral("設定数:3/400, 文字数:9/4095, [\"]:2個 OK"));
}

TEST_F(SettingsSheetTest, PasswordCheckAtStartUpWithoutAPasswordIsRefused) {
  const FieldInfo& require = *FindField(SettingsRecord::Common, "requirePassword");
  const FieldInfo& password = *FindField(SettingsRecord::Common, "startupPassword");
  SettingsSheet sheet(image(), kAccount, user);
  Type(sheet, require, "1");
  sheet.accept();
  EXPECT_NE(sheet.result(), QDialog::Accepted);
  EXPECT_EQ(image().common.requirePassword, 0);
  EXPECT_EQ(user.told.size(), 1);
  Type(sheet, password, "secret");
  sheet.accept();
  EXPECT_EQ(sheet.result(), QDialog::Accepted);
  EXPECT_EQ(image().common.requirePassword, 1);
  EXPECT_EQ(std::string_view(image().common.startupPassword), "secret");
}

// The window's commands: refused while a pass runs, like every settings command.
TEST_F(SettingsSheetTest, ServerPageButtonsFillAPresetAndUnforwardOnlyWhenAgreed) {
  image().accounts[kAccount].markAllForwardedNext = 1;
  SettingsSheet sheet(image(), kAccount, user);
  ProviderPreset preset;
  preset.popServer = "pop.preset.example";
  preset.popPort = 995;
  preset.popSsl = 1;
  sheet.FillFromPreset(preset);
  int unforwarded = 0;
  sheet.SetUnforward([&] { return ++unforwarded, true; });
  auto* unforward = sheet.findChild<QPushButton*>(QStringLiteral("unforwardNow"));
  ASSERT_NE(unforward, nullptr);
  user.answers = {false};
  unforward->click();
  EXPECT_EQ(unforwarded, 0);
  user.answers = {true};
  unforward->click();
  EXPECT_EQ(unforwarded, 1);
  EXPECT_TRUE(user.asked.last().startsWith(QStringLiteral("アカウント[]のメールボックスの全てのメールを未転送にします。")));

  sheet.accept();
  const AccountSettings& a = image().accounts[kAccount];
  EXPECT_STREQ(a.popServer, "pop.preset.example");
  EXPECT_EQ(int(a.popPort), 995);
  EXPECT_EQ(int(a.popSsl), 1);
  EXPECT_STREQ(a.smtpServer, "") << "the preset names no SMTP server";
  EXPECT_EQ(int(a.smtpPort), 25) << "nor a port: the page keeps its own";
  EXPECT_TRUE(user.told.isEmpty()) << user.told.join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(int(a.markAllForwardedNext), 0);
}

TEST(SettingsSheetCommandTest, SettingsAndTemplateCommandsAreRefusedWhileAPassRuns) {
  TempFolder folder;
  ScopedEnv config{"XDG_CONFIG_HOME", folder.path()};
  auto scripted = std::make_unique<ScriptedUser>();
  ScriptedUser* user = scripted.get();
  Desktop desktop(SettingsLocation::ForFolder(folder.path()), nullptr, std::move(scripted));
  ASSERT_EQ(desktop.Open(), Desktop::Start::Running);
  desktop.context()->worker.flags.passActive = true;
  for (Command command : {Command::Settings, Command::EditTemplate}) {
    ASSERT_TRUE(desktop.window()->action(command)->isEnabled());
    desktop.window()->action(command)->trigger();
  }
  Q_EMIT desktop.window()->accountSettingsChosen(3);
  EXPECT_EQ(user->told.count(SettingsSession::BusyText()), 3);
  desktop.context()->worker.flags.passActive = false;
  desktop.Quit(Desktop::QuitSource::Signal);
}

}  // namespace
}  // namespace velnora::ui
