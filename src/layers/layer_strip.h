#pragma once
// What the function-layer and trigger-layer strips share: a row of eight
// layer tiles that shows the layer state and four buttons under it (Save,
// Save as, Load file, Clear this layer). Every click is reported through
// one callback, layer_strip_event(index, state, event).

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

#include "layers/layer_tile.h"

class QPushButton;
class QWidget;

namespace qvk {

class key_code_convert;

// Events of layer_strip_event.
enum layer_strip_event_id : int {
    ev_tile = 0,          // a tile changed the layer state: send it
    ev_flayer_save = 1,
    ev_flayer_save_as = 2,
    ev_flayer_load = 3,
    ev_flayer_clear = 4,
    ev_flayer_colours = 5, // icon-colour combo, index = item
    ev_flayer_scale = 6,   // scale combo, index = item
    ev_tlayer_save = 7,
    ev_tlayer_save_as = 8,
    ev_tlayer_load = 9,
    ev_tlayer_clear = 10,
};

using layer_strip_callback = std::function<void(int index, int state, int event)>;

// A text with its ID and built-in default.
struct strip_text {
    uint32_t id;
    const char* def;
};

struct strip_button_def {
    strip_text caption;
    strip_text hint;
    int event;
};

class layer_strip {
public:
    static constexpr unsigned button_count = 4;
    enum button_index : unsigned { btn_save = 0, btn_save_as, btn_load, btn_clear };

    virtual ~layer_strip();
    layer_strip(const layer_strip&) = delete;
    layer_strip& operator=(const layer_strip&) = delete;

    // Draws every tile from the layer state.
    void redraw_tiles();
    // Captions and hints in the current language.
    virtual void apply_texts();

    layer_tile* tile(unsigned i) const { return tiles_.tile(i); }
    QPushButton* button(unsigned i) const { return i < button_count ? buttons_[i] : nullptr; }
    QPushButton* save_button() const { return buttons_[btn_save]; }
    // Where the buttons end: the bottom edge and the left edge of the first.
    int buttons_bottom() const;
    int buttons_left() const;

protected:
    layer_strip(QWidget* panel, float scale, uint8_t* layer_state, const key_code_convert& texts,
                layer_strip_callback callback, const std::array<strip_button_def, button_count>& buttons);

    // The state tile `layer` is drawn in, and the hint of each state.
    virtual int tile_state(unsigned layer) const = 0;
    virtual strip_text tile_hint(int state) const = 0;
    virtual void tile_pressed(unsigned layer, Qt::MouseButton button) = 0;

    void draw_tile(unsigned layer);
    // The callback may end the connection and with it this strip: it runs
    // from a copy, and nothing of the strip is touched after it.
    void report(int index, int state, int event) const {
        if (!callback_) return;
        const layer_strip_callback cb = callback_;
        cb(index, state, event);
    }
    QString text(const strip_text& t) const;

    QWidget* panel_;
    float scale_;
    uint8_t* state_;
    const key_code_convert& texts_;

private:
    layer_strip_callback callback_;
    std::array<strip_button_def, button_count> button_defs_;
    layer_tile_row tiles_;
    std::array<QPushButton*, button_count> buttons_{};
};

} // namespace qvk
