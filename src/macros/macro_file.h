#pragma once
// Macro files (.macro): one macro group as a 4-byte little-endian magic
// number followed by the group's 2048 bytes, read and written like the layer
// files (checks in the order size, read, magic; a new file beside the target
// replaces it only once every byte is written).

#include <string>

#include "layers/layer_file.h"
#include "macros/macro_group.h"

namespace qvk {

constexpr layer_file_format macro_file_format{0x23692754u, record_size::macro_group};

// `group` changes only when the file passes every check.
inline layer_file_result load_macro_file(const std::string& path, macro_group& group) {
    return load_layer_file(path, macro_file_format, group.data());
}
inline layer_file_result save_macro_file(const std::string& path, const macro_group& group) {
    return save_layer_file(path, macro_file_format, group.data());
}

} // namespace qvk
