#pragma once
// What the command line asks for.
//   -hide   start behind the tray icon (only as the first argument, exactly)
//   --demo  add a virtual keyboard, so the tool can be tried without one

namespace qvk {

struct command_line {
    bool hide = false;
    bool demo = false;
};

command_line parse_command_line(int argc, char** argv);

} // namespace qvk
