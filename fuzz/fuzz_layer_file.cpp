// Reads arbitrary bytes as a layer file (a function-layer or trigger-layer
// file the user picked): a file that loads must hand over exactly the bytes
// after its magic, and one that does not must leave the layer untouched.
// Every trigger layer that loads (and the input itself, as a layer) then
// goes through what the trigger-layer editor does with each item, which
// must stay inside the layer's 1520 bytes and leave counts and times in
// range.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "layers/layer_file.h"
#include "layers/tlayer_record.h"

namespace {

// Shows, edits and captions every item as the editor does.
void edit_every_item(std::vector<uint8_t> layer) {
    namespace tl = qvk::tlayer;
    layer.resize(tl::record_size);
    // Guard bytes after the layer catch a write beyond it.
    layer.resize(tl::record_size + 16, 0xA5);
    for (unsigned pg = 0; pg < tl::page_count; ++pg) {
        const auto p = tl::page(pg);
        for (unsigned n = 0; n <= tl::item_count(p); ++n) {
            tl::normalise(layer.data(), p, n);
            if (n < tl::item_count(p)) {
                if (tl::count(layer.data(), p, n) > tl::max_count) std::abort();
                if (p == tl::page::tio && !tl::time_in_range(tl::time_ms(layer.data(), n))) std::abort();
            }
            (void)tl::caption(layer.data(), p, n, "on ", "off ", "| Fn = ");
            const tl::marked_keys m = tl::keys_to_mark(layer.data(), p, n);
            if (m.size > tl::combo_key_slots) std::abort();
            for (unsigned w = 0; w <= tl::code_count(p); ++w)
                if (uint8_t* c = tl::item_code(layer.data(), p, n, w)) c[0] = 0;
            tl::set_enabled(layer.data(), p, n, true);
            tl::set_key_id(layer.data(), p, n, layer[n % tl::record_size]);
            tl::set_count(layer.data(), p, n, layer[(n * 7) % tl::record_size]);
            tl::set_time_ms(layer.data(), n, 1u + layer[(n * 11) % tl::record_size]);
            tl::combo_add_key(layer.data(), n, layer[(n * 13) % tl::record_size]);
            tl::combo_remove_key(layer.data(), n, n % 5);
        }
    }
    for (size_t i = tl::record_size; i < layer.size(); ++i)
        if (layer[i] != 0xA5) std::abort();
}

void check(const std::string& path, const qvk::layer_file_format& format, const uint8_t* data, size_t size) {
    std::vector<uint8_t> payload(format.payload_size, 0xA5);
    const qvk::layer_file_result r = qvk::load_layer_file(path, format, payload.data());
    if (r == qvk::layer_file_result::ok) {
        if (size != format.file_size() || std::memcmp(payload.data(), data + 4, format.payload_size) != 0) std::abort();
        if (format.magic == qvk::tlayer_file_format.magic) edit_every_item(payload);
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
    edit_every_item(std::vector<uint8_t>(data, data + size));

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
