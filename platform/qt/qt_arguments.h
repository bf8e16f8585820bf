// The command line of velmora: Qt's own options (-platform, -style, ...) go to Qt, the
// rest to the port options. The port options are parsed before Qt starts, so that --help
// and a mistyped option are answered without a display.
#pragma once

#include <string>
#include <vector>

// The arguments without Qt's own options and their values; the program name stays first.
std::vector<std::string> without_qt_options(int argc, const char* const* argv);

// Whether Qt has a way to show a window: a display ($DISPLAY, $WAYLAND_DISPLAY), a
// platform named in $QT_QPA_PLATFORM or with -platform.
bool display_available(int argc, const char* const* argv);
