#include "ui/schedule_grid.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QStringList>

#include "config/field_access.h"

namespace velnora::ui {
namespace {

constexpr const char16_t* kDays[kScheduleDays] = {u"月", u"火", u"水", u"木", u"金", u"土", u"日"};

class ScheduleField : public SheetField {
 public:
  ScheduleField(const FieldInfo& field, std::span<const uint8_t> record, SheetPlace& place) : SheetField(field) {
    grid_ = new QWidget;
    grid_->setObjectName(FieldObjectName(field));
    auto* cells = new QGridLayout(grid_);
    cells->setHorizontalSpacing(2);
    cells->setVerticalSpacing(2);
    cells->addWidget(new QLabel(QStringLiteral("AM")), 0, 1, 1, 12);
    cells->addWidget(new QLabel(QStringLiteral("PM")), 0, 13, 1, 12);
    for (int hour = 0; hour < kScheduleHours; ++hour) {
      cells->addWidget(new QLabel(QString::number(hour % 12)), 1, hour + 1, Qt::AlignHCenter);
    }
    for (int day = 0; day < kScheduleDays; ++day) {
      cells->addWidget(new QLabel(QString::fromUtf16(kDays[day])), day + 2, 0);
      for (int hour = 0; hour < kScheduleHours; ++hour) {
        auto* box = new QCheckBox;
        box->setObjectName(QStringLiteral("scheduleStops_%1_%2").arg(day).arg(hour));
        box->setProperty("day", day);
        box->setProperty("hour", hour);
        boxes_[day][hour] = box;
        cells->addWidget(box, day + 2, hour + 1, Qt::AlignHCenter);
      }
    }
    place.form->addRow(grid_);
    Show(record);
  }

  // Bits 24 to 31 mean nothing and are not shown; an untouched schedule
  // keeps them as stored.
  void Show(std::span<const uint8_t> record) override {
    for (int day = 0; day < kScheduleDays; ++day) {
      ShowMask(day, static_cast<uint32_t>(ReadNumber(record, *field_, day)));
    }
  }
  QWidget* widget() const override { return grid_; }
  QString Shown() const override {
    QStringList masks;
    for (int day = 0; day < kScheduleDays; ++day) {
      uint32_t mask = 0;
      for (int hour = 0; hour < kScheduleHours; ++hour) {
        if (boxes_[day][hour]->isChecked()) mask |= ScheduleHourBit(hour);
      }
      masks << QString::number(mask);
    }
    return masks.join(QLatin1Char(','));
  }
  void Restore(const QString& shown) override {
    const QStringList masks = shown.split(QLatin1Char(','));
    for (int day = 0; day < kScheduleDays && day < masks.size(); ++day) ShowMask(day, masks[day].toUInt());
  }

 private:
  void ShowMask(int day, uint32_t mask) {
    for (int hour = 0; hour < kScheduleHours; ++hour) boxes_[day][hour]->setChecked((mask & ScheduleHourBit(hour)) != 0);
  }

  QWidget* grid_ = nullptr;
  QCheckBox* boxes_[kScheduleDays][kScheduleHours] = {};
};

}  // namespace

std::unique_ptr<SheetField> MakeScheduleField(const FieldInfo& field, std::span<const uint8_t> record, SheetPlace& place) {
  return std::make_unique<ScheduleField>(field, record, place);
}

}  // namespace velnora::ui
