#pragma once
// HID interfaces of the host, through hidapi's hidraw backend.

#include "link/transport.h"

struct hid_device_info;

namespace qvk {

class hidapi_transport final : public hid_transport {
public:
    hidapi_transport();
    ~hidapi_transport() override;
    std::vector<hid_interface_info> enumerate() override;
    bool owns(const std::string& open_path) const override;
    std::unique_ptr<hid_device_handle> open(const std::string& open_path) override;
};

// Builds identification strings in the form of Windows HID device paths from
// what hidapi reports of one device node, one string per interface (and, for
// Bluetooth devices, per top-level collection), so that the same substring
// tests classify interfaces on every platform. Exposed for tests.
struct hid_node_description {
    std::string path;        // hidraw node
    uint16_t vendor_id = 0;
    uint16_t product_id = 0;
    uint16_t release = 0;
    int interface_number = -1;
    bool bluetooth = false;
    int collections = 1;     // top-level collections of the node
};
std::vector<hid_interface_info> describe_hid_node(const hid_node_description& node);

} // namespace qvk
