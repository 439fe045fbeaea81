#pragma once
// The seam between the link and the operating system's HID layer. A transport
// lists the HID interfaces it can see and opens one of them by its open path.
// The real keyboard goes through the hidapi transport, the virtual keyboard
// through its own; discovery and the link do not know which one they talk to.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qvk {

struct hid_interface_info {
    // Identification string in the form of a Windows HID device path, for
    // example "\\?\hid#vid_0483&pid_2020&mi_02#...". Discovery runs its kind
    // tests on this string.
    std::string id_string;
    // What the transport opens the interface with (a hidraw node, or a
    // virtual device's name).
    std::string open_path;
};

// One opened interface. read() and write() may be called from two different
// threads at the same time (the link's reader and writer); nothing else is
// called concurrently.
class hid_device_handle {
public:
    virtual ~hid_device_handle() = default;
    // Reads one input report into buf (at most len bytes) as the system
    // delivers it: report ID first, except that a device without numbered
    // reports may deliver its report without the ID (hidraw does). Any
    // report of the interface can come, not only the link's. Returns the
    // number of bytes read, 0 when nothing arrived within timeout_ms, -1 when
    // the device is gone or failed.
    virtual int read(uint8_t* buf, size_t len, int timeout_ms) = 0;
    // Writes one report (report ID first). Returns the number of bytes
    // written, -1 on failure.
    virtual int write(const uint8_t* buf, size_t len) = 0;
};

class hid_transport {
public:
    virtual ~hid_transport() = default;
    virtual std::vector<hid_interface_info> enumerate() = 0;
    // True when open_path belongs to this transport.
    virtual bool owns(const std::string& open_path) const = 0;
    // nullptr when the interface cannot be opened.
    virtual std::unique_ptr<hid_device_handle> open(const std::string& open_path) = 0;
};

// All transports the tool looks at, in order. Discovery enumerates them one
// after the other; a link opens its path through the transport that owns it.
class device_bus {
public:
    void add(std::shared_ptr<hid_transport> transport) { transports_.push_back(std::move(transport)); }
    std::vector<hid_interface_info> enumerate() const {
        std::vector<hid_interface_info> all;
        for (const auto& t : transports_) {
            auto list = t->enumerate();
            all.insert(all.end(), list.begin(), list.end());
        }
        return all;
    }
    std::unique_ptr<hid_device_handle> open(const std::string& open_path) const {
        for (const auto& t : transports_)
            if (t->owns(open_path)) return t->open(open_path);
        return nullptr;
    }
    bool empty() const { return transports_.empty(); }

private:
    std::vector<std::shared_ptr<hid_transport>> transports_;
};

} // namespace qvk
