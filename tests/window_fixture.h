#pragma once
// A main window offscreen, with its own folder of files, virtual keyboards
// to find and dialogs answered by the test.

#include <QApplication>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "app/dialogs.h"
#include "app/main_form.h"
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
    void show_message(const QString& text) override { messages << text; }
    bool ask_yes_no(const QString&, const QString& text) override {
        messages << text;
        return answer_yes;
    }
    QString open_file_name(const QString&, const QString&) override { return file_to_open; }
    QString save_file_name(const QString&, const QString&, const QString&) override { return file_to_save; }
    std::optional<QColor> pick_colour(const QColor& c) override { return c; }
};

// Runs the event loop until cond holds or the time is up.
bool wait_until(const std::function<bool()>& cond, std::chrono::milliseconds timeout = std::chrono::seconds(5));

class window_test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Adds a virtual keyboard of a kind (reporting every 0 ms unless said).
    std::shared_ptr<sim::virtual_keyboard> add_keyboard(uint32_t kind, const std::string& name = "QVK Test",
                                                        uint16_t version = 0x0102);
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

} // namespace qvk::testing
