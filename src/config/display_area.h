// The size of the screen the main window is placed on; the settings repairs
// centre the window with it. A run without a desktop uses 1920 x 1080.
#pragma once

namespace velnora {

struct DisplayArea {
  int width = 1920;
  int height = 1080;
};

}  // namespace velnora
