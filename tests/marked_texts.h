#pragma once
// Binds text IDs to their built-in defaults: a language file translates
// every listed ID into the marker "{ID}", so whatever shows a marker names
// the ID it looked up; replacing each marker by the listed default must then
// give exactly what is shown with no language loaded.

#include <cstdint>
#include <span>
#include <string>

namespace qvk::testing {

struct text_default {
    uint32_t id;
    const char* def;
};

inline std::string marker(uint32_t id) { return "{" + std::to_string(id) + "}"; }

// A language file that turns every listed ID into its marker.
inline std::string marking_language(std::span<const text_default> texts) {
    std::string ini = "[Language]\r\n";
    for (const text_default& t : texts) ini += std::to_string(t.id) + "=" + marker(t.id) + "\r\n";
    return ini;
}

// The text with every marker of a listed ID replaced by that ID's default.
inline std::string with_defaults(std::string s, std::span<const text_default> texts) {
    for (const text_default& t : texts) {
        const std::string m = marker(t.id);
        for (size_t pos = s.find(m); pos != std::string::npos; pos = s.find(m, pos + std::string(t.def).size()))
            s.replace(pos, m.size(), t.def);
    }
    return s;
}

} // namespace qvk::testing
