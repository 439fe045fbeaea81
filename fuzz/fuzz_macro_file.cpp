// Reads arbitrary bytes as a .macro file the user picked: a file that loads
// must hand over exactly the 2048 bytes after its magic, and one that does
// not must leave the group untouched. The same bytes, taken as typed text,
// must turn into as many steps as the counter said, never more than fit.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "macros/macro_file.h"
#include "macros/macro_text.h"

namespace {

void check_file(const std::string& path, const uint8_t* data, size_t size) {
    std::remove(path.c_str());
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    qvk::macro_group g;
    g.fill(0xA5);
    const qvk::layer_file_result r = qvk::load_macro_file(path, g);
    if (r == qvk::layer_file_result::ok) {
        if (size != qvk::macro_file_format.file_size() || std::memcmp(g.data(), data + 4, g.size()) != 0) std::abort();
    } else {
        for (uint8_t b : g)
            if (b != 0xA5) std::abort();
        if (r != qvk::layer_file_result::wrong_size && r != qvk::layer_file_result::bad_magic) std::abort();
    }
}

void check_text(const uint8_t* data, size_t size) {
    std::u16string text;
    for (size_t i = 0; i + 1 < size; i += 2) text.push_back(char16_t(data[i] | (data[i + 1] << 8)));
    const size_t position = size ? data[0] * 2u : 0; // 0..510
    const qvk::macro_text::room room = qvk::macro_text::count(text, position);
    const qvk::macro_text::verdict v = qvk::macro_text::check(text, position);
    if ((v == qvk::macro_text::verdict::too_long) != (room.remaining < 0) && v != qvk::macro_text::verdict::unconvertible)
        std::abort();
    if (v != qvk::macro_text::verdict::ok) return;
    const qvk::macro_steps steps = qvk::macro_text::convert(text);
    if (int(steps.count) != room.needed || position + steps.count > qvk::macro::step_count) std::abort();
    qvk::macro_group g{};
    qvk::macro_text::insert(g, position, steps);
    if (steps.count && std::memcmp(g.data() + 4 * position, steps.steps.data(), 4 * steps.count) != 0) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/qvk-fuzz-macro-" + std::to_string(getpid()) + ".macro";
    check_file(path, data, size);

    // Random bytes are almost never 2052 long: the first byte also picks a
    // size of 2051, 2052 or 2053 and whether the magic is put in front.
    if (size > 1) {
        const uint8_t pick = data[0];
        const size_t shaped_size = qvk::macro_file_format.file_size() + size_t(pick % 3) - 1;
        std::vector<uint8_t> shaped(shaped_size);
        for (size_t i = 0; i < shaped_size; ++i) shaped[i] = data[1 + i % (size - 1)];
        if (pick & 4)
            for (int b = 0; b < 4; ++b) shaped[size_t(b)] = uint8_t(qvk::macro_file_format.magic >> (8 * b));
        check_file(path, shaped.data(), shaped.size());
    }
    std::remove(path.c_str());
    check_text(data, size);
    return 0;
}
