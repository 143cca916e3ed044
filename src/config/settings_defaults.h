// Fresh settings: the values a record has when no valid settings file exists.
#pragma once

#include "config/display_area.h"
#include "config/settings_image.h"

namespace velnora {

// Zeroes the account record and gives it the field table's defaults.
void MakeFreshAccount(AccountSettings& account, int index);

// Zeroes the common record and gives it the defaults, the window centred on
// `screen`.
void MakeFreshCommon(CommonSettings& common, DisplayArea screen);

// Centres a window of the default size (the activity columns plus 15 by
// 415) on the screen.
void CentreWindow(CommonSettings& common, DisplayArea screen);

// Block A fresh: common settings and all 401 account records. The extra
// table and the unused tail (block B) are left as they are.
void MakeFreshTable(SettingsImage& image, DisplayArea screen);

}  // namespace velnora
