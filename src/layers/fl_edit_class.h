#pragma once
// The function-layer editor: a drawing of the keyboard, one picture per key
// placed and sized as the keyboard layout record describes it. Each key
// shows its key ID, the function it runs on release (upper half) and on
// press (lower half) in short notation, and both in long form as its hint.
// Clicking a half edits that code of the current layer in place; the
// layer strip's Save button sends the layer.

#include <QSize>
#include <array>
#include <cstdint>
#include <functional>

#include "layers/flayer_record.h"
#include "layers/kb_layout.h"
#include "ui/keyboard_drawing.h"

class QWidget;

namespace qvk {

class key_cap_pictures;
class key_code_convert;

using flayer_bytes = std::array<uint8_t, flayer::record_size>;

class fl_edit_class {
public:
    // A mouse press on a key: the button, the layer shown, the key's ID and
    // matrix position, and whether the lower (press) half was hit.
    using key_click_callback =
        std::function<void(Qt::MouseButton button, unsigned layer, unsigned key_id, bool press_half, unsigned column,
                            unsigned row)>;

    // Pixels left free above the drawing at scale 1 (the strip sits there).
    static constexpr int default_top_offset = 96;
    // The drawing scale of each scale-combo item (item 0 follows the screen).
    static constexpr float item_scales[6] = {0.0f, 1.0f, 1.25f, 1.5f, 1.75f, 2.0f};

    fl_edit_class(QWidget* card, float dpi_scale, const key_code_convert& texts);
    fl_edit_class(const fl_edit_class&) = delete;
    fl_edit_class& operator=(const fl_edit_class&) = delete;

    void set_layout(const uint8_t* kb_layout) { drawing_.set_layout(kb_layout); }
    void set_layer_buffers(std::array<flayer_bytes, 8>* layers, const std::array<bool, 8>* loaded,
                           const unsigned* cur_flayer);
    void set_pictures(key_cap_pictures* pictures) { drawing_.set_pictures(pictures); }
    void set_draw_style(const draw_style& style) { style_ = style; }
    void set_key_click(key_click_callback cb) { key_click_ = std::move(cb); }
    // Scale-combo item: 0 the screen's scale, 1-5 1.0 to 2.0.
    void set_view_scale(int item);
    float view_scale() const { return drawing_.scale(); }
    // Where the drawing starts below the top of the card.
    void set_top_offset(int px) {
        top_offset_ = px;
        drawing_.set_origin(QPoint(0, px));
    }
    int top_offset() const { return top_offset_; }

    void build() { redraw(); }
    // Draws every key of the current layer (nothing when the layout or the
    // layer is missing).
    void redraw();
    // Draws one key again.
    void draw_key(unsigned column, unsigned row);

    // The key picture at a matrix position, if that position was drawn.
    key_picture* picture_at(unsigned column, unsigned row) const { return drawing_.picture_at(column, row); }
    // The layer the drawing shows; 8 when it shows none.
    unsigned shown_layer() const { return shown_layer_; }
    // Right and bottom edge of the drawn keys.
    QSize extent() const { return drawing_.extent(); }

private:
    bool can_draw() const;
    void key_pressed(key_picture& k, Qt::MouseButton button, QPoint at);
    void paint_key(key_picture& k, const layout::key_entry& e);

    float dpi_scale_;
    const key_code_convert& texts_;
    std::array<flayer_bytes, 8>* layers_ = nullptr;
    const std::array<bool, 8>* loaded_ = nullptr;
    const unsigned* cur_flayer_ = nullptr;
    draw_style style_;
    int top_offset_ = default_top_offset;
    unsigned shown_layer_ = 8;
    key_click_callback key_click_;
    // Kinds 1 and 4: every page's keys and the keys of this editor only.
    keyboard_drawing drawing_;
};

} // namespace qvk
