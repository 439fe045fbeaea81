#include "window_fixture.h"

#include <QElapsedTimer>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace qvk::testing {

temp_folder::temp_folder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "qvk-window-XXXXXX").string();
    char* made = mkdtemp(tmpl.data());
    path_ = made ? made : tmpl;
}

temp_folder::~temp_folder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void temp_folder::write(const std::string& relative, const std::string& content) const {
    const std::filesystem::path p = std::filesystem::path(path_) / relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
}

std::string temp_folder::read(const std::string& relative) const {
    std::ifstream in(std::filesystem::path(path_) / relative, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

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
