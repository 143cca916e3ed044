// The field table against the records themselves: every member of the three
// records is described once, at its real offset and width, and the
// descriptions tile each record without gaps or overlaps.
#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "config/field_table.h"
#include "config/settings_image.h"

namespace velnora {
namespace {

struct MemberLayout {
  const char* name;
  std::size_t offset;
  std::size_t size;
};

// Every member of the records, from the layout lists beside the struct
// definitions: the file offsets written there (and pinned by static_asserts)
// and the members' widths.
#define COMMON_MEMBER(name, at) {#name, at, sizeof(CommonSettings::name)},
#define ACCOUNT_MEMBER(name, at) {#name, at, sizeof(AccountSettings::name)},
#define EXTRA_MEMBER(name, at) {#name, at, sizeof(AccountExtraSettings::name)},

const std::vector<MemberLayout> kCommonMembers = {VELNORA_COMMON_LAYOUT(COMMON_MEMBER)};
const std::vector<MemberLayout> kAccountMembers = {VELNORA_ACCOUNT_LAYOUT(ACCOUNT_MEMBER)};
const std::vector<MemberLayout> kExtraMembers = {VELNORA_EXTRA_LAYOUT(EXTRA_MEMBER)};

struct RecordCase {
  SettingsRecord record;
  const std::vector<MemberLayout>* members;
  std::size_t size;
};

class FieldTableLayout : public ::testing::TestWithParam<RecordCase> {};

TEST_P(FieldTableLayout, DescribesEveryMemberAtItsOffsetAndWidth) {
  const RecordCase& c = GetParam();
  ASSERT_EQ(FieldsOf(c.record).size(), c.members->size());
  for (const MemberLayout& member : *c.members) {
    const FieldInfo* field = FindField(c.record, member.name);
    ASSERT_NE(field, nullptr) << member.name;
    EXPECT_EQ(field->offset, member.offset) << member.name;
    EXPECT_EQ(field->size, member.size) << member.name;
    EXPECT_EQ(field->record, c.record) << member.name;
  }
}

TEST_P(FieldTableLayout, TilesTheRecordWithoutGapsOrOverlaps) {
  const RecordCase& c = GetParam();
  std::size_t next = 0;
  for (const FieldInfo& field : FieldsOf(c.record)) {
    EXPECT_EQ(field.offset, next) << field.name << " does not start where the previous field ends";
    next = field.offset + field.size;
  }
  EXPECT_EQ(next, c.size);
}

TEST_P(FieldTableLayout, TypesAgreeWithWidths) {
  for (const FieldInfo& field : FieldsOf(GetParam().record)) {
    std::size_t element = 0;
    switch (field.type) {
      case FieldType::Flag8: element = 1; break;
      case FieldType::Flag16:
      case FieldType::Int16:
      case FieldType::Uint16:
      case FieldType::Int16Array: element = 2; break;
      case FieldType::Flag32:
      case FieldType::Int32:
      case FieldType::Int32Array: element = 4; break;
      default: element = field.size; break;
    }
    EXPECT_EQ(element * (field.type == FieldType::Int16Array || field.type == FieldType::Int32Array
                             ? field.count
                             : 1),
              field.size)
        << field.name;
    if (field.type == FieldType::Text) {
      // The edit limit always leaves room for the NUL.
      EXPECT_GT(field.maxValue, 0) << field.name;
      EXPECT_LT(field.maxValue, static_cast<int64_t>(field.size)) << field.name;
      EXPECT_LT(field.defaultText.size(), field.size) << field.name;
    }
    if (field.IsNumber()) {
      EXPECT_LE(field.minValue, field.maxValue) << field.name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Records, FieldTableLayout,
                         ::testing::Values(RecordCase{SettingsRecord::Common, &kCommonMembers, 1100},
                                           RecordCase{SettingsRecord::Account, &kAccountMembers, 37723},
                                           RecordCase{SettingsRecord::Extra, &kExtraMembers, 9218}));

TEST(FieldTable, NamesAreUniqueAcrossTheAccountAndItsExtraRecord) {
  // set account N name=value looks in both records.
  std::set<std::string> names;
  for (SettingsRecord r : {SettingsRecord::Account, SettingsRecord::Extra}) {
    for (const FieldInfo& f : FieldsOf(r)) {
      EXPECT_TRUE(names.insert(std::string(f.name)).second) << f.name;
    }
  }
}

TEST(FieldTable, RelatedFieldsExistAndAreFlagsOfTheSameRecord) {
  for (const FieldInfo& field : AllFields()) {
    if (field.related.empty()) continue;
    const FieldInfo* related = FindField(field.record, field.related);
    ASSERT_NE(related, nullptr) << field.name << " -> " << field.related;
    EXPECT_TRUE(related->IsFlag()) << field.related;
    if (field.Has(kClearsSwitch)) {
      EXPECT_EQ(field.type, FieldType::Text) << field.name;
      EXPECT_EQ(related->page, field.page) << field.name;
    }
  }
}

TEST(FieldTable, ExclusiveChoicesPointAtEachOther) {
  for (const FieldInfo& field : AllFields()) {
    if (!field.Has(kExclusive)) continue;
    const FieldInfo* other = FindField(field.record, field.related);
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(other->Has(kExclusive));
    EXPECT_EQ(other->related, field.name);
  }
}

TEST(FieldTable, ListsThatSwitchOptionsOffAreTheDocumentedOnes) {
  struct Pair {
    SettingsRecord record;
    const char* list;
    const char* flag;
  };
  const Pair pairs[] = {
      {SettingsRecord::Account, "keepExtensions", "keepExtensionsOn"},
      {SettingsRecord::Account, "filterFrom", "filterFromOn"},
      {SettingsRecord::Account, "filterTo", "filterToOn"},
      {SettingsRecord::Account, "filterCc", "filterCcOn"},
      {SettingsRecord::Account, "filterSubject", "filterSubjectOn"},
      {SettingsRecord::Account, "filterMailer", "filterMailerOn"},
      {SettingsRecord::Account, "filterDate", "filterDateOn"},
      {SettingsRecord::Account, "filterContentType", "filterContentTypeOn"},
      {SettingsRecord::Account, "alwaysForwardFrom", "alwaysForwardFromOn"},
      {SettingsRecord::Account, "phoneCutWord", "phoneCutAtWord"},
      {SettingsRecord::Common, "remotePassword", "remoteControl"},
  };
  int clearing = 0;
  for (const FieldInfo& f : AllFields()) clearing += f.Has(kClearsSwitch) ? 1 : 0;
  EXPECT_EQ(clearing, static_cast<int>(std::size(pairs)));
  for (const Pair& p : pairs) {
    const FieldInfo* list = FindField(p.record, p.list);
    ASSERT_NE(list, nullptr) << p.list;
    EXPECT_TRUE(list->Has(kClearsSwitch)) << p.list;
    EXPECT_EQ(list->related, p.flag);
  }
}

// The transport security switches live in what was the unused tail of the
// account record: zero there in every older file, so they load off.
TEST(FieldTable, TransportSecurityFlagsAreOffByDefaultServerFlags) {
  const struct {
    const char* name;
    std::size_t offset;
  } flags[] = {{"tlsNoVerify", 37663}, {"smtpStartTls", 37665}, {"popStartTls", 37667}};
  for (const auto& flag : flags) {
    const FieldInfo* f = FindField(SettingsRecord::Account, flag.name);
    ASSERT_NE(f, nullptr) << flag.name;
    EXPECT_EQ(f->offset, flag.offset);
    EXPECT_EQ(f->type, FieldType::Flag16);
    EXPECT_EQ(f->page, SettingsPage::Server);
    EXPECT_EQ(f->defaultValue, 0);
  }
}

}  // namespace
}  // namespace velnora
