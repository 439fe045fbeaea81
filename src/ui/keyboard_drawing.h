#pragma once
// A drawing of the keyboard: one picture per key, placed and sized as the
// keyboard layout record describes it, times the drawing's scale. The page
// that owns the drawing says which keys it draws, paints each key through
// a callback (usually with paint_face, in one of the key styles) and hears
// of clicks through another. Keys outside what a drawing can hold
// (layout::key_fits_drawing) get no picture and cannot be clicked.

#include <QColor>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "layers/kb_layout.h"
#include "ui/key_picture.h"

class QWidget;

namespace qvk {

class key_cap_pictures;

// How keys are drawn: on a key-cap picture (index 0 or 1) or plainly (-1),
// and the colours of the function texts, the key ID and the dividing line.
struct draw_style {
    int32_t picture_index = -1;
    QRgb text_colour = 0x000000;
    QRgb key_id_colour = 0x267397;
    QRgb line_colour = 0x267397;
};

// What one key shows: its ID at the right, a text in its upper half and one
// in its lower half; a plain key may be filled in another colour (a mark).
struct key_face {
    unsigned key_id = 0;
    QString upper, lower;
    std::optional<QRgb> plain_fill;
};

class keyboard_drawing {
public:
    // Which layout entries this drawing shows (by kind).
    using key_filter = bool (*)(const layout::key_entry&);
    using paint_callback = std::function<void(key_picture&, const layout::key_entry&)>;
    using click_callback = std::function<void(key_picture&, Qt::MouseButton, QPoint)>;

    static constexpr QRgb plain_fill = 0x6AB5FF;
    static constexpr QRgb plain_frame = 0x267397;
    static constexpr QRgb plain_text = 0xFFFFFF;

    keyboard_drawing(QWidget* parent, key_filter shows);
    ~keyboard_drawing();
    keyboard_drawing(const keyboard_drawing&) = delete;
    keyboard_drawing& operator=(const keyboard_drawing&) = delete;

    void set_layout(const uint8_t* kb_layout) { layout_ = kb_layout; }
    // True when a layout is set whose columns and rows lie in 1..26 x 1..8.
    bool layout_usable() const;
    void set_scale(float s) { scale_ = s; }
    float scale() const { return scale_; }
    // Where the layout's (0, 0) lies on the parent, in pixels.
    void set_origin(QPoint at) { origin_ = at; }
    void set_paint(paint_callback cb) { paint_ = std::move(cb); }
    // Clicks are reported on the press of a button, or on its release.
    void set_click(click_callback cb, bool on_release = false);
    void set_pictures(key_cap_pictures* pictures) { pictures_ = pictures; }

    // Draws every key the drawing shows and removes the pictures of the
    // other positions; with no usable layout every picture is hidden.
    void draw_all();
    // Draws one key again; false when the position shows no key.
    bool draw_key(unsigned column, unsigned row);
    void hide_all();

    key_picture* picture_at(unsigned column, unsigned row) const;
    // Right and bottom edge of the shown keys.
    QSize extent() const;
    // Every picture (shown or not), column by column.
    template <class F>
    void for_each_picture(F&& f) const {
        for (const auto& k : keys_)
            if (k) f(*k);
    }

    // Paints a key picture in a style: plain (fill, frame, dotted middle
    // line, key ID, white texts) or on a key-cap picture with the style's
    // colours. Text sizes follow the drawing's scale.
    void paint_face(key_picture& k, const draw_style& style, const key_face& face) const;

private:
    bool shows(const layout::key_entry& e) const { return shows_(e) && layout::key_fits_drawing(e); }

    QWidget* parent_;
    key_filter shows_;
    const uint8_t* layout_ = nullptr;
    float scale_ = 1.0f;
    QPoint origin_;
    paint_callback paint_;
    click_callback click_;
    bool click_on_release_ = false;
    key_cap_pictures* pictures_ = nullptr;
    std::array<QPointer<key_picture>, layout::max_columns * layout::max_rows> keys_;
};

} // namespace qvk
