// Reads arbitrary bytes as a layer file (a function-layer or trigger-layer
// file the user picked): a file that loads must hand over exactly the bytes
// after its magic, and one that does not must leave the layer untouched.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "layers/layer_file.h"

namespace {

void check(const std::string& path, const qvk::layer_file_format& format, const uint8_t* data, size_t size) {
    std::vector<uint8_t> payload(format.payload_size, 0xA5);
    const qvk::layer_file_result r = qvk::load_layer_file(path, format, payload.data());
    if (r == qvk::layer_file_result::ok) {
        if (size != format.file_size() || std::memcmp(payload.data(), data + 4, format.payload_size) != 0) std::abort();
    } else {
        for (uint8_t b : payload)
            if (b != 0xA5) std::abort();
        if (r != qvk::layer_file_result::wrong_size && r != qvk::layer_file_result::bad_magic) std::abort();
    }
}

void write_and_check(const std::string& path, const uint8_t* data, size_t size) {
    // A new file each time: rewriting a truncated one makes some file
    // systems flush it to disk on close.
    std::remove(path.c_str());
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    check(path, qvk::flayer_file_format, data, size);
    check(path, qvk::tlayer_file_format, data, size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/qvk-fuzz-layer-" + std::to_string(getpid()) + ".cfg";
    write_and_check(path, data, size);

    // Random bytes are almost never a layer file's size: the first byte also
    // picks a size near one of the two formats and whether a magic is put in
    // front, and the rest of the input fills the file.
    if (size > 1) {
        const uint8_t pick = data[0];
        const qvk::layer_file_format& format = pick & 1 ? qvk::tlayer_file_format : qvk::flayer_file_format;
        const size_t shaped_size = format.file_size() + size_t((pick >> 1) % 3) - 1;
        std::vector<uint8_t> shaped(shaped_size);
        for (size_t i = 0; i < shaped_size; ++i) shaped[i] = data[1 + i % (size - 1)];
        if (pick & 8) {
            const uint32_t magic = pick & 16 ? qvk::flayer_file_format.magic : qvk::tlayer_file_format.magic;
            for (int b = 0; b < 4; ++b) shaped[size_t(b)] = uint8_t(magic >> (8 * b));
        }
        write_and_check(path, shaped.data(), shaped.size());
    }
    std::remove(path.c_str());
    return 0;
}
