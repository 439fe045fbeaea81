// Which HID interfaces are the keyboard's, and of which kind.

#include <gtest/gtest.h>
#include <hidapi/hidapi.h>

#include <deque>

#include "link/hid_detect_dev.h"
#include "link/hidapi_transport.h"
#include "link/link_kind.h"
#include "link_fakes.h"
#include "sim/virtual_keyboard.h"
#include "temp_dir.h"

namespace qvk::testing {
namespace {

constexpr const char* guid = "#{4d1e55b2-f16f-11cf-88cb-001111000030}";

std::string usb_path(const std::string& device) { return std::string("\\\\?\\hid#") + device + "#7&1a2b3c&0&0000" + guid; }
std::string ble_path(const std::string& collection) {
    return std::string("\\\\?\\hid#{00001812-0000-1000-8000-00805f9b34fb}_dev_vid&022020_pid&1919_rev&0001") +
           collection + "#8&2b3c&0&0004" + guid;
}

TEST(KindTable, DecidesByTheFirstMatchingRow) {
    struct row {
        std::string path;
        uint32_t kind;
    };
    const row rows[] = {
        {usb_path("vid_0483&pid_2020&mi_02"), kind_usb},
        {usb_path("vid_0483&pid_2020&mi_02&col01"), kind_usb},
        {usb_path("vid_0483&pid_2020&mi_00"), kind_none},      // the keyboard's boot interface
        {usb_path("vid_0483&pid_2021"), kind_usb_boot},
        {ble_path("&col05"), kind_ble},
        {ble_path("&col01"), kind_none},                        // another collection of the same device
        {usb_path("vid_0483&pid_2022"), kind_rf_boot},
        {usb_path("vid_0483&pid_2023&mi_02"), kind_rf_receiver},
        {usb_path("vid_0483&pid_2023&mi_01"), kind_none},
        {usb_path("VID_0483&PID_2020&MI_02"), kind_none},      // tests are case-sensitive
        {usb_path("vid_046d&pid_c52b&mi_02"), kind_none},
        {"", kind_none},
    };
    for (const row& r : rows) EXPECT_EQ(classify_interface(r.path), r.kind) << r.path;
}

TEST(KindTable, TagsForListAndTitle) {
    EXPECT_STREQ(kind_list_tag(kind_rf_receiver), "[2.4G Receiver]");
    EXPECT_STREQ(kind_title_tag(kind_rf_receiver), "[2.4G]");
    EXPECT_STREQ(kind_title_tag(kind_usb_boot), "[USB BL]");
    EXPECT_STREQ(kind_list_tag(0), "");
}

class Discovery : public ::testing::Test {
protected:
    void SetUp() override {
        transport = std::make_shared<fixed_transport>();
        bus.add(transport);
    }
    void add(const std::string& id) {
        transport->interfaces.push_back({id, "fixed:" + std::to_string(transport->interfaces.size())});
    }
    std::shared_ptr<fixed_transport> transport;
    device_bus bus;
};

TEST_F(Discovery, KeepsMatchingInterfacesInOrderUpToEight) {
    add(usb_path("vid_046d&pid_c52b&mi_02")); // a mouse
    add(usb_path("vid_0483&pid_2020&mi_02"));
    add(ble_path("&col05"));
    for (int i = 0; i < 7; ++i) add(usb_path("vid_0483&pid_2021"));
    hid_detect_dev d(bus);
    d.search();
    ASSERT_EQ(d.count(), 8u);
    EXPECT_EQ(d.kind_of(0), kind_usb);
    EXPECT_EQ(d.kind_of(1), kind_ble);
    EXPECT_EQ(d.path_of(1), ble_path("&col05"));
    EXPECT_EQ(d.open_path_of(0), "fixed:1");
    EXPECT_EQ(d.kind_of(7), kind_usb_boot);
    EXPECT_EQ(d.open_path_of(7), "fixed:8"); // the ninth match, fixed:9, is left out
    EXPECT_EQ(d.kind_of(8), 0u);
    EXPECT_EQ(d.path_of(8), "");
}

TEST_F(Discovery, ForgetAndReset) {
    for (int i = 0; i < 3; ++i) add(usb_path("vid_0483&pid_2020&mi_02"));
    hid_detect_dev d(bus);
    d.search();
    d.forget(2);
    EXPECT_EQ(d.count(), 3u);
    EXPECT_EQ(d.kind_of(2), 0u);
    EXPECT_EQ(d.path_of(2), "");
    EXPECT_EQ(d.kind_of(1), kind_usb);
    d.forget(99); // out of range: nothing happens
    d.reset();
    EXPECT_EQ(d.count(), 0u);
    EXPECT_EQ(d.kind_of(0), 0u);
}

TEST_F(Discovery, NothingPresentGivesAnEmptyTable) {
    hid_detect_dev d(bus);
    d.search();
    EXPECT_EQ(d.count(), 0u);
}

TEST(VirtualKeyboard, EachDeviceIsFoundAsItsOwnKind) {
    auto transport = std::make_shared<sim::virtual_transport>();
    std::vector<std::shared_ptr<sim::virtual_keyboard>> devices;
    for (uint32_t kind = kind_usb; kind <= kind_rf_receiver; ++kind) {
        devices.push_back(std::make_shared<sim::virtual_keyboard>(kind, "K", 0x0100, kind));
        transport->add(devices.back());
    }
    devices[1]->unplug(); // the USB bootloader is not listed while unplugged
    device_bus bus;
    bus.add(transport);
    hid_detect_dev d(bus);
    d.search();
    ASSERT_EQ(d.count(), 4u);
    const uint32_t kinds[] = {kind_usb, kind_ble, kind_rf_boot, kind_rf_receiver};
    for (uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(d.kind_of(i), kinds[i]);
        EXPECT_EQ(d.open_path_of(i), devices[kinds[i] - 1]->open_path());
    }
}

TEST(HidapiNames, LinuxNodesGetWindowsFormIdentificationStrings) {
    hid_node_description usb;
    usb.path = "/dev/hidraw3";
    usb.vendor_id = 0x0483;
    usb.product_id = 0x2020;
    usb.interface_number = 2;
    usb.collections = 3;
    const auto usb_ids = describe_hid_node(usb);
    ASSERT_EQ(usb_ids.size(), 1u); // the node is opened as a whole
    EXPECT_EQ(classify_interface(usb_ids[0].id_string), kind_usb);
    EXPECT_EQ(usb_ids[0].open_path, "/dev/hidraw3");

    hid_node_description boot = usb;
    boot.product_id = 0x2021;
    boot.interface_number = 0;
    EXPECT_EQ(classify_interface(describe_hid_node(boot)[0].id_string), kind_usb_boot);

    hid_node_description ble;
    ble.path = "/dev/hidraw5";
    ble.vendor_id = 0x2020;
    ble.product_id = 0x1919;
    ble.release = 0x0001;
    ble.bluetooth = true;
    ble.collections = 5;
    const auto ble_ids = describe_hid_node(ble);
    ASSERT_EQ(ble_ids.size(), 5u);
    for (size_t i = 0; i < ble_ids.size(); ++i) {
        EXPECT_EQ(classify_interface(ble_ids[i].id_string), i == 4 ? kind_ble : kind_none) << ble_ids[i].id_string;
        EXPECT_EQ(ble_ids[i].open_path, "/dev/hidraw5");
    }
    ble.collections = 4;
    for (const auto& id : describe_hid_node(ble)) EXPECT_EQ(classify_interface(id.id_string), kind_none);
}

// hidapi's device list as its hidraw backend gives it on Linux: one entry per
// top-level collection of a node, and release 0 for every Bluetooth device.
class hidraw_list {
public:
    void add(const char* path, uint16_t vendor, uint16_t product, hid_bus_type bus, uint16_t release,
             int interface_number, int collections) {
        for (int c = 0; c < collections; ++c) {
            hid_device_info& d = entries_.emplace_back();
            d.path = const_cast<char*>(path);
            d.vendor_id = vendor;
            d.product_id = product;
            d.release_number = release;
            d.interface_number = interface_number;
            d.bus_type = bus;
            if (entries_.size() > 1) entries_[entries_.size() - 2].next = &d;
        }
    }
    void add_ble(const char* path, uint16_t vendor, uint16_t product, int collections) {
        add(path, vendor, product, HID_API_BUS_BLUETOOTH, 0, -1, collections);
    }
    const hid_device_info* head() const { return entries_.empty() ? nullptr : &entries_.front(); }

private:
    std::deque<hid_device_info> entries_; // stable addresses for the links
};

// The version the kernel shows for an input device of the node.
void write_input_version(const temp_dir& sys, const std::string& node, const std::string& input,
                         const std::string& version) {
    sys.write("class/hidraw/" + node + "/device/input/" + input + "/id/version", version);
}

TEST(HidapiNames, TheBluetoothKeyboardIsFoundAsLinuxListsIt) {
    temp_dir sys;
    write_input_version(sys, "hidraw5", "input21", "0001\n");
    hidraw_list list;
    list.add("/dev/hidraw2", 0x046d, 0xc52b, HID_API_BUS_USB, 0x1211, 2, 1);  // a receiver of another make
    list.add("/dev/hidraw3", 0x0483, 0x2020, HID_API_BUS_USB, 0x0100, 0, 1);  // the keyboard's boot interface
    list.add("/dev/hidraw4", 0x0483, 0x2020, HID_API_BUS_USB, 0x0100, 2, 3);
    list.add_ble("/dev/hidraw5", 0x2020, 0x1919, 5);
    list.add_ble("/dev/hidraw6", 0x05ac, 0x024f, 2);                          // another Bluetooth keyboard

    auto transport = std::make_shared<fixed_transport>();
    transport->interfaces = describe_hid_devices(list.head(), sys.path());
    device_bus bus;
    bus.add(transport);
    hid_detect_dev d(bus);
    d.search();
    ASSERT_EQ(d.count(), 2u);
    EXPECT_EQ(d.kind_of(0), kind_usb);
    EXPECT_EQ(d.open_path_of(0), "/dev/hidraw4");
    EXPECT_EQ(d.kind_of(1), kind_ble);
    EXPECT_EQ(d.open_path_of(1), "/dev/hidraw5");
    EXPECT_NE(d.path_of(1).find("rev&0001&col05"), std::string::npos) << d.path_of(1);
}

TEST(HidapiNames, TheBluetoothReleaseComesFromTheInputNodeElseTheKeyboardIsAssumed) {
    struct row {
        const char* version; // in sysfs; nullptr: the device made no input node
        bool found;
    };
    const row rows[] = {
        {"0001\n", true},
        {"0002\n", false},  // a release the kind test does not know
        {nullptr, true},     // no source: vendor and product decide
        {"0000\n", true},   // the device announced no version
        {"junk\n", true},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.version ? r.version : "no input node");
        temp_dir sys;
        if (r.version) write_input_version(sys, "hidraw7", "input3", r.version);
        hidraw_list list;
        list.add_ble("/dev/hidraw7", 0x2020, 0x1919, 5);
        const auto ids = describe_hid_devices(list.head(), sys.path());
        ASSERT_EQ(ids.size(), 5u);
        for (size_t i = 0; i < ids.size(); ++i)
            EXPECT_EQ(classify_interface(ids[i].id_string), r.found && i == 4 ? kind_ble : kind_none) << ids[i].id_string;
    }

    // The first input node that tells a version decides; others of another
    // make keep release 0.
    temp_dir sys;
    sys.write("class/hidraw/hidraw8/device/input/input4/id/other", "x");
    write_input_version(sys, "hidraw8", "input5", "0102\n");
    write_input_version(sys, "hidraw8", "input6", "0001\n");
    EXPECT_EQ(sysfs_release_of(sys.path(), "/dev/hidraw8"), 0x0102);
    EXPECT_EQ(sysfs_release_of(sys.path(), "/dev/hidraw9"), std::nullopt);
    hidraw_list other;
    other.add_ble("/dev/hidraw9", 0x2020, 0x1918, 1);
    EXPECT_NE(describe_hid_devices(other.head(), sys.path())[0].id_string.find("pid&1918_rev&0000&col01"),
              std::string::npos);
}

} // namespace
} // namespace qvk::testing
