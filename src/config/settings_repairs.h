// The corrections applied after every load of the settings file, so that a
// damaged, hand-edited or older file still gives usable settings.
#pragma once

#include <cstdint>
#include <span>

#include "config/display_area.h"
#include "config/settings_image.h"

namespace velnora {

// Applies the repairs in their fixed order; the last one cuts every
// one-line text at its first control character. `suspensions` holds the
// remoteSuspended value of each of the 401 records to keep; when it is
// empty the values read from the file stay.
void RepairSettings(SettingsImage& image, DisplayArea screen,
                    std::span<const int16_t> suspensions = {});

}  // namespace velnora
