#pragma once
// Layer files: one function layer (.Fl_Cfg) or one trigger layer (.Tl_Cfg)
// as a 4-byte little-endian magic number followed by the layer's bytes
// exactly as the keyboard holds them.

#include <cstddef>
#include <cstdint>
#include <string>

namespace qvk {

struct layer_file_format {
    uint32_t magic;
    size_t payload_size;
    size_t file_size() const { return 4 + payload_size; }
};

constexpr layer_file_format flayer_file_format{0x23692752u, 1536};
constexpr layer_file_format tlayer_file_format{0x23692753u, 1520};

enum class layer_file_result {
    ok,
    open_failed,   // reading: the file cannot be opened
    wrong_size,    // reading: not exactly file_size() bytes
    read_failed,   // reading: fewer bytes read than the file holds
    bad_magic,     // reading: another kind of file
    create_failed, // writing: the file cannot be created
    write_failed,  // writing: not every byte reached the disk
};

// Reads a layer file into `payload` (format.payload_size bytes). The checks
// run in the order size, read, magic; `payload` is written only when all
// pass.
layer_file_result load_layer_file(const std::string& path, const layer_file_format& format, uint8_t* payload);

// Writes a layer file. The bytes go to a new file beside the target that
// then replaces it, so a failed write never leaves a damaged file behind or
// loses the one that was there. In a folder where no new file can be made
// the target itself is overwritten. A link is followed, and a replaced file
// keeps its permissions.
layer_file_result save_layer_file(const std::string& path, const layer_file_format& format, const uint8_t* payload);

} // namespace qvk
