#include "layers/fl_edit_class.h"

#include <QWidget>

#include "functions/func_description.h"
#include "functions/key_code_convert.h"
#include "functions/short_notation.h"
#include "layers/layer_texts.h"

namespace qvk {

namespace {

QString short_text(const uint8_t* code) {
    return code ? QString::fromStdString(func_code_to_short_str(fc_from(code))) : QString();
}

} // namespace

fl_edit_class::fl_edit_class(QWidget* card, float dpi_scale, const key_code_convert& texts)
    : dpi_scale_(dpi_scale), texts_(texts),
      drawing_(card, [](const layout::key_entry& e) { return e.is_key(); }) {
    drawing_.set_origin(QPoint(0, top_offset_));
    drawing_.set_paint([this](key_picture& k, const layout::key_entry& e) { paint_key(k, e); });
    drawing_.set_click([this](key_picture& k, Qt::MouseButton b, QPoint at) { key_pressed(k, b, at); });
}

void fl_edit_class::set_layer_buffers(std::array<flayer_bytes, 8>* layers, const std::array<bool, 8>* loaded,
                                      const unsigned* cur_flayer) {
    layers_ = layers;
    loaded_ = loaded;
    cur_flayer_ = cur_flayer;
}

void fl_edit_class::set_view_scale(int item) {
    if (item <= 0 || item >= int(std::size(item_scales)))
        drawing_.set_scale(dpi_scale_);
    else
        drawing_.set_scale(item_scales[item]);
}

bool fl_edit_class::can_draw() const {
    if (!layers_ || !loaded_ || !cur_flayer_ || !drawing_.layout_usable()) return false;
    return *cur_flayer_ < 8 && (*loaded_)[*cur_flayer_];
}

void fl_edit_class::redraw() {
    if (!can_draw()) {
        // A layer the tool has not received cannot be shown, and the keys
        // of another layer must not stay on screen to be edited under its
        // name.
        if (shown_layer_ < 8) {
            drawing_.hide_all();
            shown_layer_ = 8;
        }
        return;
    }
    shown_layer_ = *cur_flayer_;
    drawing_.draw_all();
}

void fl_edit_class::draw_key(unsigned column, unsigned row) {
    if (can_draw()) drawing_.draw_key(column, row);
}

// A key ID beyond the layer's slots names no code: such a key is drawn with
// its ID only.
void fl_edit_class::paint_key(key_picture& k, const layout::key_entry& e) {
    const uint8_t* slot = flayer::slot_code((*layers_)[*cur_flayer_].data(), e.key_id, flayer::key_half::press);
    const uint8_t* release = slot ? slot + flayer::off_release : nullptr;
    const uint8_t* press = slot ? slot + flayer::off_press : nullptr;
    key_face face;
    face.key_id = e.key_id;
    face.upper = short_text(release);
    face.lower = short_text(press);
    drawing_.paint_face(k, style_, face);
    if (slot) {
        k.setToolTip(layer_text(texts_, 600, "按键弹起：") +
                     QString::fromStdString(func_code_to_desc_str(texts_, fc_from(release), false)) +
                     QStringLiteral("\n") + layer_text(texts_, 601, "按键按下：") +
                     QString::fromStdString(func_code_to_desc_str(texts_, fc_from(press), false)));
    } else {
        k.setToolTip(QString());
    }
}

void fl_edit_class::key_pressed(key_picture& k, Qt::MouseButton button, QPoint at) {
    if (!can_draw() || shown_layer_ >= 8) return;
    const bool press_half = at.y() >= k.height() / 2;
    uint8_t* code = flayer::slot_code((*layers_)[shown_layer_].data(), k.key_id(),
                                      press_half ? flayer::key_half::press : flayer::key_half::release);
    // A key whose ID names no slot has nothing to edit.
    if (!code) return;
    if (button == Qt::RightButton)
        flayer::clear_code(code);
    else if (button == Qt::MiddleButton)
        flayer::disable_code(code);
    const unsigned column = k.column(), row = k.row();
    if (key_click_) key_click_(button, shown_layer_, k.key_id(), press_half, column, row);
    draw_key(column, row);
}

} // namespace qvk
