#pragma once
// The kinds of link a keyboard interface can offer.

#include <cstdint>

namespace qvk {

enum link_kind : uint32_t {
    kind_none = 0,
    kind_usb = 1,           // keyboard over USB cable
    kind_usb_boot = 2,      // USB bootloader
    kind_ble = 3,           // keyboard over Bluetooth LE
    kind_rf_boot = 4,       // 2.4 GHz bootloader
    kind_rf_receiver = 5,   // keyboard through the 2.4 GHz receiver
};

inline bool is_keyboard_kind(uint32_t kind) { return kind == kind_usb || kind == kind_ble || kind == kind_rf_receiver; }
inline bool is_bootloader_kind(uint32_t kind) { return kind == kind_usb_boot || kind == kind_rf_boot; }

} // namespace qvk
