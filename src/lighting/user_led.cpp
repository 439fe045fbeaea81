#include "lighting/user_led.h"

#include "layers/kb_layout.h"

namespace qvk {

std::vector<ambient_light> ambient_lights(const uint8_t* kb_layout) {
    std::vector<ambient_light> out;
    const unsigned n = layout::ambient_count(kb_layout);
    out.reserve(n);
    for (unsigned u = 0; u < n; ++u) out.push_back({u, user_led::from_word(layout::ambient_light(kb_layout, u))});
    return out;
}

int find_ambient_light(const std::vector<ambient_light>& lights, const user_led& led) {
    for (const ambient_light& l : lights)
        if (l.led.same_light(led)) return int(l.number);
    return -1;
}

} // namespace qvk
