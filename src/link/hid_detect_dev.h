#pragma once
// Finds the keyboard's HID interfaces among all interfaces the transports
// report, decides the kind of link each offers from its identification
// string, and keeps at most eight of them.

#include <array>
#include <cstdint>
#include <string>

#include "link/transport.h"

namespace qvk {

// Kind of an interface from its identification string, by case-sensitive
// substring tests in a fixed order; 0 when none matches.
uint32_t classify_interface(const std::string& id_string);

// Texts that name a kind in the device list and in the window title.
const char* kind_list_tag(uint32_t kind);
const char* kind_title_tag(uint32_t kind);

class hid_detect_dev {
public:
    static constexpr uint32_t max_entries = 8;

    explicit hid_detect_dev(const device_bus& bus) : bus_(bus) {}

    void search();
    void reset();
    uint32_t count() const { return count_; }
    uint32_t kind_of(uint32_t i) const { return i < max_entries ? entries_[i].kind : 0; }
    // The identification string the kind was decided on.
    std::string path_of(uint32_t i) const { return i < max_entries ? entries_[i].path : std::string(); }
    // What a link opens the interface with.
    std::string open_path_of(uint32_t i) const { return i < max_entries ? entries_[i].open_path : std::string(); }
    void forget(uint32_t i);

private:
    struct entry {
        uint32_t kind = 0;
        std::string path;
        std::string open_path;
    };
    const device_bus& bus_;
    std::array<entry, max_entries> entries_{};
    uint32_t count_ = 0;
};

} // namespace qvk
