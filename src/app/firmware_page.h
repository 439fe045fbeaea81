#pragma once
// The maintenance page: choosing and checking a firmware file, sending it to
// the keyboard (or to the 2.4 GHz receiver's bootloader) while a progress
// bar follows the written reports, answering the keyboard's maintenance
// statuses, switching between keyboard mode and bootloader, and restoring
// the factory configuration.

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <memory>
#include <vector>

#include "ui/keyboard_page.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace qvk {

class firmware_page final : public keyboard_page {
public:
    firmware_page(page_host& host, QWidget* panel);
    ~firmware_page() override;

    void open(int tag) override;
    void record_arrived(uint32_t command, uint32_t sub) override;
    void send_progress(intptr_t reports_sent) override;
    void apply_texts() override;

    void Button7Click(); // choose a file
    void Button8Click(); // start
    void Button9Click(); // to the bootloader
    void Button10Click(); // to keyboard mode
    void Button11Click(); // factory defaults

    QPushButton* choose_button() const { return choose_button_; }
    QPushButton* start_button() const { return start_button_; }
    QPushButton* bootloader_button() const { return bootloader_button_; }
    QPushButton* keyboard_mode_button() const { return keyboard_mode_button_; }
    QPushButton* defaults_button() const { return defaults_button_; }
    QProgressBar* progress_bar() const { return pb_send_pos_; }
    bool file_loaded() const { return !file_.empty(); }
    QWidget* root() const { return root_; }

private:
    void build();
    void set_buttons_by_kind();
    // Reads and checks the chosen file; true when it may be sent.
    bool load_and_check(const QString& path);
    void send_image();
    void send_receiver_image();
    void show_progress(size_t image_bytes);
    void release_file();
    void on_status(uint8_t status);
    // A Yes/No question; false also when the page went away meanwhile.
    bool ask(uint32_t caption_id, const char* caption, uint32_t text_id, const char* text);

    QWidget* panel_;
    QPointer<QWidget> root_;
    QPushButton* choose_button_ = nullptr;
    QPushButton* start_button_ = nullptr;
    QPushButton* bootloader_button_ = nullptr;
    QPushButton* keyboard_mode_button_ = nullptr;
    QPushButton* defaults_button_ = nullptr;
    QProgressBar* pb_send_pos_ = nullptr;

    // The chosen file, from reading it until it is sent or replaced; only a
    // file that passed every check may be sent.
    std::vector<uint8_t> file_;
    bool file_accepted_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace qvk
