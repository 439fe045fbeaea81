#pragma once
// The ambient light picker of the indicator-lights page ("led select"): one
// line per ambient light of the keyboard layout, a bead with its chain
// position and brightness, a 3741 cell with its X and Y. A double click
// makes that light the indicator's light and closes the dialog.

#include <QDialog>
#include <functional>

#include "lighting/user_led.h"

class QListWidget;

namespace qvk {

class Tuser_led_select final : public QDialog {
public:
    // lng looks up a text by ID and default.
    using text_lookup = std::function<QString(uint32_t id, const char* default_text)>;

    // Edits indicator `indicator` of `led_state` in place.
    Tuser_led_select(const uint8_t* kb_layout, uint8_t* led_state, unsigned indicator, const text_lookup& lng,
                     QWidget* parent = nullptr);

    QListWidget* list() const { return light_list_; }
    // The line's light becomes the indicator's light; the dialog closes.
    void choose(int line);

private:
    uint8_t* led_state_;
    unsigned indicator_;
    std::vector<ambient_light> lights_;
    QListWidget* light_list_;
};

// The line a light is listed with in the lighting pages' light lists:
// "%003u: 驱动器= %s" with the bead's chain position and brightness, or
// the cell's X and Y.
QString ambient_light_line(const ambient_light& light, const uint8_t* led_state,
                           const Tuser_led_select::text_lookup& lng);

} // namespace qvk
