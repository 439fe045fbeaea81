#include "link/hidapi_transport.h"

#include <hidapi/hidapi.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

namespace qvk {

namespace {

constexpr const char* hid_class_guid = "{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr const char* ble_hid_service = "{00001812-0000-1000-8000-00805f9b34fb}";
constexpr size_t full_report = 65;

class hidapi_handle final : public hid_device_handle {
public:
    explicit hidapi_handle(hid_device* dev) : dev_(dev) {}
    ~hidapi_handle() override { hid_close(dev_); }

    int read(uint8_t* buf, size_t len, int timeout_ms) override {
        if (len < full_report) return -1;
        uint8_t raw[full_report];
        const int n = hid_read_timeout(dev_, raw, sizeof raw, timeout_ms);
        if (n <= 0) return n;
        // A device without numbered reports delivers its 64 bytes without a
        // report ID; the link always works on report ID + 64 bytes.
        if (size_t(n) < full_report) {
            buf[0] = 0;
            std::memcpy(buf + 1, raw, size_t(n));
            std::memset(buf + 1 + n, 0, full_report - 1 - size_t(n));
        } else {
            std::memcpy(buf, raw, full_report);
        }
        return int(full_report);
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
        for (int c = 1; c <= node.collections; ++c) {
            std::snprintf(id, sizeof id, "\\\\?\\hid#%s_dev_vid&02%04x_pid&%04x_rev&%04x&col%02d#linux#%s",
                          ble_hid_service, node.vendor_id, node.product_id, node.release, c, hid_class_guid);
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

hidapi_transport::hidapi_transport() {
    std::call_once(hidapi_started, [] { hid_init(); });
}

hidapi_transport::~hidapi_transport() = default;

std::vector<hid_interface_info> hidapi_transport::enumerate() {
    std::vector<hid_interface_info> out;
    hid_device_info* list = hid_enumerate(0, 0);
    // hidapi lists a node once per top-level collection, in order.
    std::map<std::string, hid_node_description> nodes;
    std::vector<std::string> order;
    for (hid_device_info* d = list; d; d = d->next) {
        if (!d->path) continue;
        auto [it, added] = nodes.try_emplace(d->path);
        hid_node_description& n = it->second;
        if (added) {
            order.push_back(d->path);
            n.path = d->path;
            n.vendor_id = d->vendor_id;
            n.product_id = d->product_id;
            n.release = d->release_number;
            n.interface_number = d->interface_number;
            n.bluetooth = d->bus_type == HID_API_BUS_BLUETOOTH;
            n.collections = 1;
        } else {
            ++n.collections;
        }
    }
    hid_free_enumeration(list);
    for (const std::string& p : order) {
        auto ids = describe_hid_node(nodes[p]);
        out.insert(out.end(), ids.begin(), ids.end());
    }
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
