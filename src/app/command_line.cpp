#include "app/command_line.h"

#include <cstring>

namespace qvk {

command_line parse_command_line(int argc, char** argv) {
    command_line c;
    c.hide = argc >= 2 && std::strcmp(argv[1], "-hide") == 0;
    constexpr const char* screenshot_flag = "--screenshot=";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--demo") == 0) c.demo = true;
        if (std::strncmp(argv[i], screenshot_flag, std::strlen(screenshot_flag)) == 0)
            c.screenshot = argv[i] + std::strlen(screenshot_flag);
    }
    return c;
}

} // namespace qvk
