#pragma once
// HID interfaces of the host, through hidapi's hidraw backend.

#include <optional>
#include <string>

#include "link/transport.h"

struct hid_device_info;

namespace qvk {

class hidapi_transport final : public hid_transport {
public:
    // sysfs_root: where the kernel's device tree is mounted; it tells what
    // hidapi does not (the release of a Bluetooth device).
    explicit hidapi_transport(std::string sysfs_root = "/sys");
    ~hidapi_transport() override;
    std::vector<hid_interface_info> enumerate() override;
    bool owns(const std::string& open_path) const override;
    std::unique_ptr<hid_device_handle> open(const std::string& open_path) override;

private:
    std::string sysfs_root_;
};

// Builds identification strings in the form of Windows HID device paths from
// what hidapi reports of one device node, one string per interface (and, for
// Bluetooth devices, per top-level collection), so that the same substring
// tests classify interfaces on every platform. Exposed for tests.
struct hid_node_description {
    std::string path;        // hidraw node
    uint16_t vendor_id = 0;
    uint16_t product_id = 0;
    std::optional<uint16_t> release; // none when no source told it
    int interface_number = -1;
    bool bluetooth = false;
    int collections = 1;     // top-level collections of the node
};
std::vector<hid_interface_info> describe_hid_node(const hid_node_description& node);

// The release of the device behind a hidraw node as the kernel shows it: the
// version of an input device the node's HID device created, under
// <sysfs_root>/class/hidraw/<node>/device/input/input*/id/version. None when
// the device created no input device or the file does not hold a number.
std::optional<uint16_t> sysfs_release_of(const std::string& sysfs_root, const std::string& hidraw_path);

// Describes hidapi's device list (one entry per top-level collection, the
// entries of one node one after the other) node by node, in list order.
// hidapi tells no release for Bluetooth devices; theirs comes from sysfs.
std::vector<hid_interface_info> describe_hid_devices(const hid_device_info* list, const std::string& sysfs_root);

} // namespace qvk
