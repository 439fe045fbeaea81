#pragma once
// The battery picture of the title bar: the connected keyboard's charge
// level in percent or its battery voltage. A left click switches between
// the two, a right click asks the keyboard for a new reading.

#include <QLabel>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>

namespace qvk {

class ui_batt_disp {
public:
    // Text by ID with its built-in default, as the window looks texts up.
    using text_lookup = std::function<QString(uint32_t id, const char* default_text)>;

    static constexpr uint32_t hint_text_id = 500;
    static const char* const hint_default;

    ui_batt_disp(QWidget* parent, text_lookup texts, std::function<void()> request_update);
    ~ui_batt_disp();
    ui_batt_disp(const ui_batt_disp&) = delete;
    ui_batt_disp& operator=(const ui_batt_disp&) = delete;

    QLabel* picture() const { return picture_; }
    void update(uint8_t level, double voltage);
    // Takes level and voltage from a battery reply's payload.
    void update_from_reply(const uint8_t* payload);
    void redraw();

    uint8_t level() const { return level_; }
    double voltage() const { return voltage_; }
    int fill() const { return fill_; }
    bool show_voltage() const { return show_voltage_; }
    // What the picture shows now ("50%" or "3.700V").
    QString shown_text() const;

private:
    class picture_label;
    void clicked(Qt::MouseButton button);

    text_lookup texts_;
    std::function<void()> request_update_;
    QPointer<QLabel> picture_;
    uint8_t level_ = 0;
    double voltage_ = 0.0;
    int fill_ = 0;
    bool show_voltage_ = false;
};

} // namespace qvk
