// The window's fixed texts: program name, version and the messages the
// window itself shows. Menu and toolbar texts stay next to their commands.
#pragma once

#include <QString>

namespace velnora::ui {

inline QString ProgramTitle() { return QStringLiteral("Velnora 400アカウント版 V5.20"); }
inline QString StartingUpTitle() { return QStringLiteral("Starting up: Velnora"); }

}  // namespace velnora::ui
