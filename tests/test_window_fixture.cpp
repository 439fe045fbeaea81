#include "window_fixture.h"

#include <QElapsedTimer>
#include <QThread>

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

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
