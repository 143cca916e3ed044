// The images of the two lists and the status bar, drawn at start-up: one per
// activity category, one per account-list state, one per status image.
#pragma once

#include <QIcon>

namespace velnora::ui {

QIcon CategoryIcon(int code);
QIcon AccountIcon(int icon);
QIcon StatusImage(int icon);
QIcon ProgramIcon();
// The check mark of an enabled account and the mark of a disabled one in
// the accounts' drop-down menu.
QIcon EnabledMark(bool enabled);

}  // namespace velnora::ui
