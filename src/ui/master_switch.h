#pragma once
// A drawn on/off switch with the captions "ON" and "OFF". A left click on
// an enabled switch flips it and reports the new state; setting it from the
// page reports nothing.

#include <QWidget>
#include <functional>

namespace qvk {

class master_switch final : public QWidget {
public:
    explicit master_switch(QWidget* parent = nullptr);

    bool is_on() const { return on_; }
    void set_on(bool on);

    // The user flipped the switch.
    std::function<void(bool on)> on_toggle;

    static constexpr QRgb on_colour = 0x06B025;
    static constexpr QRgb off_colour = 0xBCBCBC;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    bool on_ = false;
};

} // namespace qvk
