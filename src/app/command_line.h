#pragma once
// What the command line asks for.
//   -hide   start behind the tray icon (only as the first argument, exactly)
//   --demo  add a virtual keyboard, so the tool can be tried without one
//   --screenshot=FILE  save a picture of the window to FILE after a moment
//                      and quit (for the documentation)

#include <string>

namespace qvk {

struct command_line {
    bool hide = false;
    bool demo = false;
    std::string screenshot;
};

command_line parse_command_line(int argc, char** argv);

} // namespace qvk
