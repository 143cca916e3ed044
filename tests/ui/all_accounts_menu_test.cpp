// The all-accounts menu of a check box: its two items, the question, and the
// field value that reaches the caller only after OK.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QRadioButton>
#include <optional>

#include "support/test_text.h"
#include "ui/all_accounts_menu.h"
#include "ui/scripted_user.h"

namespace velnora::ui {
namespace {

TEST(AllAccountsMenuTest, AsksWithTheBoxLabelAndAppliesTheFieldValueOnlyOnOk) {
  struct Case {
    BoxSense sense;
    bool chooseOn;
    bool ok;
    std::optional<bool> applied;
  };
  const Case cases[] = {
      {BoxSense::CheckedIsOne, true, true, true},    {BoxSense::CheckedIsOne, false, true, false},
      {BoxSense::CheckedIsOne, true, false, {}},     {BoxSense::CheckedIsZero, true, true, false},
      {BoxSense::CheckedIsZero, false, true, true},  {BoxSense::CheckedIsZero, false, false, {}},
  };
  for (const Case& c : cases) {
    QRadioButton button(QStringLiteral("TEXT"));
    ScriptedUser user;
    user.answers = {c.ok};
    std::optional<bool> applied;
    AllAccountsMenu* menu = InstallAllAccountsMenu(button, QStringLiteral("TEXTパート"), c.sense, user,
                                                   [&](bool value) { applied = value; });
    EXPECT_EQ(button.contextMenuPolicy(), Qt::CustomContextMenu);
    ASSERT_EQ(menu->menu().actions().size(), 2);
    EXPECT_EQ(menu->menu().actions()[0]->text(), QStringLiteral("すべてのアカウントを「オン」にする"));
    EXPECT_EQ(menu->menu().actions()[1]->text(), QStringLiteral("すべてのアカウントを「オフ」にする"));
    (c.chooseOn ? menu->checkAll() : menu->uncheckAll()).trigger();
    const QString word = c.chooseOn ? QStringLiteral("オン") : QStringLiteral("オフ");
    EXPECT_EQ(user.asked, QStringList{QStringLiteral("全てのアカウントのチェックボックス\n「 TEXTパート 」を\n「 ") +
                                      word + QStringLiteral(" 」に変更しますか？\nこの操作を行った後は、元に戻せません。")});
    EXPECT_EQ(user.askedTitles, QStringList{QStringLiteral("変更確認")});
    EXPECT_EQ(applied, c.applied) << int(c.sense) << c.chooseOn << c.ok;
  }
}

TEST(AllAccountsMenuTest, OnlyTheKeywordInTheDeveloperOptionsSwitchesItOn) {
  const std::pair<const char*, bool> cases[] = {
      {"tr610415", true}, {"kq480317 tr610415", true}, {"", false}, {"tr61041", false}, {"TR610415", false}};
  for (const auto& [options, enabled] : cases) {
    CommonSettings common{};
    testing::SetText(common.developerOptions, options);
    EXPECT_EQ(AllAccountsMenuEnabled(common), enabled) << options;
  }
}

}  // namespace
}  // namespace velnora::ui
