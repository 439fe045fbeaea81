#include "link/hid_detect_dev.h"

#include "link/link_kind.h"

namespace qvk {

uint32_t classify_interface(const std::string& id) {
    auto has = [&id](const char* s) { return id.find(s) != std::string::npos; };
    if (has("vid_0483&pid_2020&mi_02")) return kind_usb;
    if (has("vid_0483&pid_2021")) return kind_usb_boot;
    if (has("2020_pid&1919_rev&0001") && has("&col05")) return kind_ble;
    if (has("vid_0483&pid_2022")) return kind_rf_boot;
    if (has("vid_0483&pid_2023&mi_02")) return kind_rf_receiver;
    return kind_none;
}

const char* kind_list_tag(uint32_t kind) {
    switch (kind) {
    case kind_usb: return "[USB]";
    case kind_usb_boot: return "[USB BL]";
    case kind_ble: return "[BLE5]";
    case kind_rf_boot: return "[2.4G BL]";
    case kind_rf_receiver: return "[2.4G Receiver]";
    default: return "";
    }
}

const char* kind_title_tag(uint32_t kind) {
    return kind == kind_rf_receiver ? "[2.4G]" : kind_list_tag(kind);
}

void hid_detect_dev::search() {
    uint32_t stored = 0;
    for (const hid_interface_info& info : bus_.enumerate()) {
        const uint32_t kind = classify_interface(info.id_string);
        if (kind == kind_none) continue;
        entries_[stored] = entry{kind, info.id_string, info.open_path};
        if (++stored == max_entries) break;
    }
    count_ = stored;
}

void hid_detect_dev::reset() {
    entries_.fill(entry{});
    count_ = 0;
}

void hid_detect_dev::forget(uint32_t i) {
    if (i < max_entries) entries_[i] = entry{};
}

} // namespace qvk
