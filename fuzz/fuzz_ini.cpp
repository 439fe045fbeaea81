// Reads arbitrary bytes as an INI file (as a language or key-name file a
// user dropped beside the program could be) and looks things up in it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "common/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/qvk-fuzz-ini-" + std::to_string(getpid()) + ".ini";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    qvk::ini_file ini(path);
    for (const std::string& k : ini.keys("Language")) {
        (void)ini.read_string("Language", k, "");
        (void)ini.read_int("Language", k, 7);
    }
    std::remove(path.c_str());
    return 0;
}
