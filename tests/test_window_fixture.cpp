#include "window_fixture.h"

#include <QElapsedTimer>
#include <QThread>
#include <cstring>

#include "app/ui_batt_disp.h"
#include "link/hidconnect.h"

namespace qvk::testing {

bool wait_until(const std::function<bool()>& cond, std::chrono::milliseconds timeout) {
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > timeout.count()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

std::vector<uint8_t> manual_keyboard::requests() const {
    std::vector<uint8_t> out;
    for (const auto& r : received()) {
        const uint8_t c = packet::command_of(&r[1]);
        if (c != hidconnect::command_device_info) out.push_back(c);
    }
    return out;
}

bool manual_keyboard::wait_request(size_t n, packet::packet64& p, std::chrono::milliseconds timeout) const {
    QElapsedTimer t;
    t.start();
    for (;;) {
        size_t seen = 0;
        for (const auto& r : received()) {
            if (packet::command_of(&r[1]) == hidconnect::command_device_info) continue;
            if (++seen == n) {
                std::memcpy(p.data(), &r[1], p.size());
                return true;
            }
        }
        if (t.elapsed() > timeout.count()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        QThread::msleep(1);
    }
}

std::vector<packet::packet64> manual_keyboard::record_chunks(uint8_t command, uint32_t sub,
                                                             const std::vector<uint8_t>& record) {
    std::vector<packet::packet64> out;
    if (record.size() <= packet::single_block_max) {
        out.push_back(packet::make_single_block(command, record.data(), record.size()));
        return out;
    }
    packet::segment_block(command, sub, record.data(), record.size(), [&](const packet::packet64& p) {
        out.push_back(p);
        return true;
    });
    return out;
}

void manual_keyboard::reply_record(uint8_t command, uint32_t sub, const std::vector<uint8_t>& record) {
    for (const auto& p : record_chunks(command, sub, record)) send_packet(p);
}

void manual_keyboard::handle_report(const packet::report65& report, sim::virtual_handle* from) {
    if (answer_name && packet::command_of(&report[1]) == hidconnect::command_device_info)
        sim::virtual_keyboard::handle_report(report, from);
}

std::vector<uint8_t> patterned(size_t size, uint8_t seed) {
    std::vector<uint8_t> v(size);
    for (size_t i = 0; i < size; ++i) v[i] = uint8_t(seed + i);
    return v;
}

std::vector<uint8_t> initial_read_record(uint8_t command, uint32_t sub, const std::vector<uint8_t>& layer_state) {
    switch (command) {
    case cmd::read_scan_params: return patterned(record_size::scan_params, 10);
    case cmd::read_ble_support: return {1};
    case cmd::read_ble_params: return patterned(record_size::ble_params, 20);
    case cmd::read_layout: return patterned(record_size::kb_layout, 30);
    case cmd::read_layer_state: return layer_state;
    case cmd::read_flayer: return patterned(record_size::flayer, uint8_t(40 + sub));
    case cmd::read_tlayer: return patterned(record_size::tlayer, uint8_t(50 + sub));
    case cmd::read_lighting: return patterned(record_size::lighting, 60);
    case cmd::read_indicator_actions: return patterned(record_size::indicator_actions, 70);
    default: return {};
    }
}

void answer_initial_read(manual_keyboard& kb, const std::vector<uint8_t>& layer_state, size_t first) {
    for (unsigned step = 0; step < initial_read_step_count; ++step) {
        packet::packet64 p;
        ASSERT_TRUE(kb.wait_request(first + step, p)) << "step " << step;
        const uint8_t c = packet::command_of(p.data());
        ASSERT_EQ(c, initial_read_steps[step].command) << "step " << step;
        const uint32_t sub = p[packet::off_sub];
        const std::vector<uint8_t> record = initial_read_record(c, sub, layer_state);
        ASSERT_FALSE(record.empty()) << "unexpected request " << int(c);
        kb.reply_record(c, sub, record);
    }
}

Tmain_form& window_test::open_read(std::shared_ptr<manual_keyboard>& kb, uint32_t kind,
                                   const std::vector<uint8_t>& layer_state) {
    kb = add_manual_keyboard(kind);
    Tmain_form& w = open_window();
    detect_and_probe();
    EXPECT_FALSE(w.connect_device(0));
    answer_initial_read(*kb, layer_state);
    EXPECT_TRUE(wait_until([&] { return !w.is_task_busy(); }));
    // The battery request that ends the read, answered.
    packet::packet64 p;
    EXPECT_TRUE(kb->wait_request(initial_read_step_count + 1, p));
    std::vector<uint8_t> battery(9, 0);
    battery[0] = 100;
    kb->reply_record(cmd::read_battery, 0, battery);
    EXPECT_TRUE(wait_until([&] { return !w.is_busy() && w.battery()->level() == 100; }));
    return w;
}

void window_test::SetUp() {
    transport_ = std::make_shared<sim::virtual_transport>();
    bus_ = std::make_shared<device_bus>();
    bus_->add(transport_);
}

void window_test::TearDown() {
    window_.reset();
    QCoreApplication::processEvents();
}

std::shared_ptr<sim::virtual_keyboard> window_test::add_keyboard(uint32_t kind, const std::string& name,
                                                                 uint16_t version) {
    auto k = std::make_shared<sim::virtual_keyboard>(kind, name, version, next_number_++);
    k->set_report_interval(std::chrono::microseconds(0));
    transport_->add(k);
    return k;
}

std::shared_ptr<manual_keyboard> window_test::add_manual_keyboard(uint32_t kind, const std::string& name,
                                                                  uint16_t version) {
    auto k = std::make_shared<manual_keyboard>(kind, name, version, next_number_++);
    k->set_report_interval(std::chrono::microseconds(0));
    transport_->add(k);
    return k;
}

Tmain_form& window_test::open_window(bool start_hidden, int tray_available) {
    Tmain_form::options o;
    o.exe_dir = folder_.path();
    o.bus = bus_;
    o.start_hidden = start_hidden;
    o.tray_available = tray_available;
    o.dialogs = &dialogs_;
    window_ = std::make_unique<Tmain_form>(std::move(o));
    return *window_;
}

Tmain_form& window_test::open_connected(uint32_t kind, const std::string& name) {
    add_keyboard(kind, name);
    Tmain_form& w = open_window();
    detect_and_probe();
    EXPECT_FALSE(w.connect_device(0));
    w.set_task_busy(false);
    return w;
}

void window_test::detect_and_probe() {
    window_->timer_detect_hid_deviceTimer();
    ASSERT_TRUE(wait_until([this] { return window_->probe_link() == nullptr; }));
}

} // namespace qvk::testing
