#pragma once
// Text lookup for the layer pages: a text by ID with its built-in default.

#include <QString>

#include "functions/key_code_convert.h"

namespace qvk {

inline QString layer_text(const key_code_convert& texts, uint32_t id, const char* def) {
    return QString::fromStdString(texts.get_lng_text(id, def));
}

} // namespace qvk
