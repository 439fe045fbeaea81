#pragma once
// The dialog that edits the keyboard's own MAC address of one Bluetooth
// connection: six two-digit hexadecimal boxes, most significant byte on the
// left, typing moving on to the next box.

#include <QDialog>
#include <array>
#include <cstdint>
#include <span>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qvk {

class page_host;

class Tdev_cfg_modify_mac_addr final : public QDialog {
    Q_OBJECT
public:
    static constexpr int client_width = 468;
    static constexpr int client_height = 178;

    // Edits `entry` (a 17-byte connection entry) in place when confirmed;
    // `changed` is set when a byte of the address differs.
    Tdev_cfg_modify_mac_addr(page_host& host, unsigned connection, bool bound, std::span<uint8_t, 17> entry,
                             bool& changed, QWidget* parent);

    // ed0 .. ed5: byte 1 .. 6 of the entry (ed5 shows the most significant).
    QLineEdit* byte_edit(unsigned i) const { return byte_edits_[i]; }
    QPushButton* confirm_button() const { return confirm_button_; }
    QPushButton* cancel_button() const { return bt_cancel_; }
    QLabel* note_label() const { return note_label_; }

    void Button1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void FormShow();
    void on_edited(unsigned i);

    std::span<uint8_t, 17> entry_;
    bool& changed_;
    QLabel* note_label_ = nullptr;
    std::array<QLineEdit*, 6> byte_edits_{};
    QPushButton* bt_cancel_ = nullptr;
    QPushButton* confirm_button_ = nullptr;
};

} // namespace qvk
