#pragma once
// A main window offscreen, with its own folder of files, virtual keyboards
// to find and dialogs answered by the test.

#include <QApplication>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "ui/dialogs.h"
#include "app/main_form.h"
#include "layers/flayer_page.h"
#include "sim/virtual_keyboard.h"
#include "temp_dir.h"

namespace qvk::testing {

// Records what the window wanted to show and answers questions as told.
class scripted_dialogs final : public dialog_service {
public:
    QStringList messages;
    bool answer_yes = true;
    QString file_to_open;
    QString file_to_save;
    // Runs while a message is "on screen", as the window's events go on
    // under a real message box.
    std::function<void()> while_shown;
    void show_message(const QString& text) override {
        messages << text;
        if (while_shown) while_shown();
    }
    QString last_caption; // of the last question
    bool ask_yes_no(const QString& caption, const QString& text) override {
        last_caption = caption;
        messages << text;
        return answer_yes;
    }
    QString open_file_name(const QString&, const QString&) override { return file_to_open; }
    QString save_file_name(const QString&, const QString&, const QString&) override { return file_to_save; }
    std::optional<QColor> pick_colour(const QColor& c) override { return c; }
};

// A keyboard the test answers by hand: it tells its name (command 1) and
// only records everything else.
class manual_keyboard final : public sim::virtual_keyboard {
public:
    using sim::virtual_keyboard::virtual_keyboard;
    std::atomic<bool> answer_name{true};

    // The commands received after the name request, in order.
    std::vector<uint8_t> requests() const;
    // Waits for the n-th request (counting from 1) and returns its packet.
    bool wait_request(size_t n, packet::packet64& p, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
    // Sends a record as the keyboard replies: one report up to 56 bytes
    // (payload from byte 8), chunks above, with sub in every chunk.
    void reply_record(uint8_t command, uint32_t sub, const std::vector<uint8_t>& record);
    // The chunks reply_record would send.
    static std::vector<packet::packet64> record_chunks(uint8_t command, uint32_t sub, const std::vector<uint8_t>& record);

protected:
    void handle_report(const packet::report65& report, sim::virtual_handle* from) override;
};

// A record held by the window equals the bytes expected.
template <typename Record>
bool same_bytes(const Record& have, const std::vector<uint8_t>& want) {
    return have.size() == want.size() && std::equal(want.begin(), want.end(), have.begin());
}

// Records whose bytes tell them apart: byte i = seed + i.
std::vector<uint8_t> patterned(size_t size, uint8_t seed);

// The patterned record a hand-answered keyboard replies to an initial-read
// request with (the layer state as given).
std::vector<uint8_t> initial_read_record(uint8_t command, uint32_t sub, const std::vector<uint8_t>& layer_state);

// Answers the nine requests of the initial read in order, each after it
// arrived, with patterned records and the given layer state. The first
// request answered is number `first` of the keyboard's requests.
void answer_initial_read(manual_keyboard& kb, const std::vector<uint8_t>& layer_state, size_t first = 1);

// Runs the event loop until cond holds or the time is up.
bool wait_until(const std::function<bool()>& cond, std::chrono::milliseconds timeout = std::chrono::seconds(5));

class window_test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Adds a virtual keyboard of a kind (reporting every 0 ms unless said).
    std::shared_ptr<sim::virtual_keyboard> add_keyboard(uint32_t kind, const std::string& name = "QVK Test",
                                                        uint16_t version = 0x0102);
    std::shared_ptr<manual_keyboard> add_manual_keyboard(uint32_t kind, const std::string& name = "QVK Test",
                                                         uint16_t version = 0x0102);
    // A window connected to a hand-answered keyboard whose initial read has
    // completed.
    Tmain_form& open_read(std::shared_ptr<manual_keyboard>& kb, uint32_t kind = 1,
                          const std::vector<uint8_t>& layer_state = std::vector<uint8_t>(10, 0));
    // Creates the window; files written to folder() before are seen by it.
    Tmain_form& open_window(bool start_hidden = false, int tray_available = 0);
    // Runs detection and waits until every found device has told its name.
    void detect_and_probe();
    // A window connected to one keyboard of the kind, idle.
    Tmain_form& open_connected(uint32_t kind, const std::string& name = "QVK Test");

    temp_dir folder_;
    std::shared_ptr<sim::virtual_transport> transport_;
    std::shared_ptr<device_bus> bus_;
    scripted_dialogs dialogs_;
    std::unique_ptr<Tmain_form> window_;
    unsigned next_number_ = 0;
};

// The function-layer page of a window and its parts; null (layer 0) while
// the page does not exist.
inline flayer_page* flayer_page_of(Tmain_form& w) { return dynamic_cast<flayer_page*>(w.page(c_flayer_edit)); }
inline flayer_mgr* flayer_strip(Tmain_form& w) {
    flayer_page* p = flayer_page_of(w);
    return p ? p->strip() : nullptr;
}
inline fl_edit_class* flayer_editor(Tmain_form& w) {
    flayer_page* p = flayer_page_of(w);
    return p ? p->editor() : nullptr;
}
inline unsigned cur_flayer(Tmain_form& w) {
    flayer_page* p = flayer_page_of(w);
    return p ? p->cur_flayer() : 0;
}
inline QTimer* save_button_timer(Tmain_form& w) {
    flayer_page* p = flayer_page_of(w);
    return p ? p->save_button_timer() : nullptr;
}

} // namespace qvk::testing
