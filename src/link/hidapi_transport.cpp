#include "link/hidapi_transport.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

namespace qvk {

namespace {

constexpr const char* hid_class_guid = "{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr const char* ble_hid_service = "{00001812-0000-1000-8000-00805f9b34fb}";
constexpr size_t full_report = 65;

// The keyboard as it shows itself over Bluetooth LE, with the release its
// firmware announces.
constexpr uint16_t ble_keyboard_vendor = 0x2020;
constexpr uint16_t ble_keyboard_product = 0x1919;
constexpr uint16_t ble_keyboard_release = 0x0001;

// The release written into a Bluetooth identification string. Linux does not
// always tell it (a device that announces no version, or one that created no
// input device); the keyboard's vendor and product then stand for its
// release, so the keyboard is found on its fifth collection all the same.
// Other devices without a release are written with release 0.
uint16_t ble_release(const hid_node_description& node) {
    if (node.release) return *node.release;
    const bool keyboard = node.vendor_id == ble_keyboard_vendor && node.product_id == ble_keyboard_product;
    return keyboard ? ble_keyboard_release : 0;
}

// A version file of sysfs: four hexadecimal digits and a line break.
std::optional<uint16_t> read_hex_file(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string text;
    if (!(in >> text)) return std::nullopt;
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc() || end != text.data() + text.size() || value > 0xFFFF) return std::nullopt;
    return uint16_t(value);
}

class hidapi_handle final : public hid_device_handle {
public:
    explicit hidapi_handle(hid_device* dev) : dev_(dev) {}
    ~hidapi_handle() override { hid_close(dev_); }

    // hidraw delivers a report with its ID first when the device numbers its
    // reports, and without one when it does not.
    int read(uint8_t* buf, size_t len, int timeout_ms) override {
        return hid_read_timeout(dev_, buf, std::min(len, full_report), timeout_ms);
    }

    int write(const uint8_t* buf, size_t len) override { return hid_write(dev_, buf, len); }

private:
    hid_device* dev_;
};

std::once_flag hidapi_started;

} // namespace

std::vector<hid_interface_info> describe_hid_node(const hid_node_description& node) {
    std::vector<hid_interface_info> out;
    char id[256];
    if (node.bluetooth) {
        // Bluetooth LE HID: one path per top-level collection.
        const uint16_t release = ble_release(node);
        for (int c = 1; c <= node.collections; ++c) {
            std::snprintf(id, sizeof id, "\\\\?\\hid#%s_dev_vid&02%04x_pid&%04x_rev&%04x&col%02d#linux#%s",
                          ble_hid_service, node.vendor_id, node.product_id, release, c, hid_class_guid);
            out.push_back({id, node.path});
        }
        return out;
    }
    // USB: one path per interface; the node is opened as a whole, so its
    // collections are not listed one by one.
    if (node.interface_number >= 0)
        std::snprintf(id, sizeof id, "\\\\?\\hid#vid_%04x&pid_%04x&mi_%02x#linux#%s",
                      node.vendor_id, node.product_id, node.interface_number, hid_class_guid);
    else
        std::snprintf(id, sizeof id, "\\\\?\\hid#vid_%04x&pid_%04x#linux#%s",
                      node.vendor_id, node.product_id, hid_class_guid);
    out.push_back({id, node.path});
    return out;
}

std::optional<uint16_t> sysfs_release_of(const std::string& sysfs_root, const std::string& hidraw_path) {
    namespace fs = std::filesystem;
    const std::string node = fs::path(hidraw_path).filename().string();
    if (node.rfind("hidraw", 0) != 0) return std::nullopt;
    // Every input device of one HID device carries the HID device's version;
    // the first one (by name) that can be read decides.
    std::error_code ec;
    std::vector<fs::path> inputs;
    const fs::path folder = fs::path(sysfs_root) / "class/hidraw" / node / "device/input";
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().filename().string().rfind("input", 0) == 0) inputs.push_back(it->path());
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& input : inputs)
        if (auto version = read_hex_file(input / "id/version")) return version;
    return std::nullopt;
}

std::vector<hid_interface_info> describe_hid_devices(const hid_device_info* list, const std::string& sysfs_root) {
    // hidapi lists a node once per top-level collection, in order.
    std::map<std::string, hid_node_description> nodes;
    std::vector<std::string> order;
    for (const hid_device_info* d = list; d; d = d->next) {
        if (!d->path) continue;
        auto [it, added] = nodes.try_emplace(d->path);
        hid_node_description& n = it->second;
        if (!added) {
            ++n.collections;
            continue;
        }
        order.push_back(d->path);
        n.path = d->path;
        n.vendor_id = d->vendor_id;
        n.product_id = d->product_id;
        n.interface_number = d->interface_number;
        n.bluetooth = d->bus_type == HID_API_BUS_BLUETOOTH;
        n.collections = 1;
        if (!n.bluetooth || d->release_number != 0) {
            n.release = d->release_number;
        } else {
            // hidapi's hidraw backend reads the release of USB devices only.
            // A version of 0 in sysfs means the device announced none.
            const auto version = sysfs_release_of(sysfs_root, n.path);
            if (version && *version != 0) n.release = version;
        }
    }
    std::vector<hid_interface_info> out;
    for (const std::string& p : order) {
        auto ids = describe_hid_node(nodes[p]);
        out.insert(out.end(), ids.begin(), ids.end());
    }
    return out;
}

hidapi_transport::hidapi_transport(std::string sysfs_root) : sysfs_root_(std::move(sysfs_root)) {
    std::call_once(hidapi_started, [] { hid_init(); });
}

hidapi_transport::~hidapi_transport() = default;

std::vector<hid_interface_info> hidapi_transport::enumerate() {
    hid_device_info* list = hid_enumerate(0, 0);
    auto out = describe_hid_devices(list, sysfs_root_);
    hid_free_enumeration(list);
    return out;
}

bool hidapi_transport::owns(const std::string& open_path) const {
    return open_path.rfind("/dev/", 0) == 0;
}

std::unique_ptr<hid_device_handle> hidapi_transport::open(const std::string& open_path) {
    hid_device* dev = hid_open_path(open_path.c_str());
    if (!dev) return nullptr;
    return std::make_unique<hidapi_handle>(dev);
}

} // namespace qvk
