// vorrel-host gui and screenshot: a plug-in's editor in a window of ours.
#pragma once

#include "ClapHost.h"

namespace vhost {

// Shows the editor until its window is closed, with audio processed and dropped so the panel can play.
int cmdGui(Library& lib, Host& host, int argc, char** argv);
// Opens the editor, lets it draw, reads the window back and writes a PNG.
int cmdScreenshot(Library& lib, Host& host, int argc, char** argv);

}  // namespace vhost
