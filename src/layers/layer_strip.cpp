#include "layers/layer_strip.h"

#include <QPushButton>

#include "layers/layer_texts.h"

namespace qvk {

layer_strip::layer_strip(QWidget* panel, float scale, uint8_t* layer_state, const key_code_convert& texts,
                         layer_strip_callback callback, const std::array<strip_button_def, button_count>& buttons)
    : panel_(panel), scale_(scale), state_(layer_state), texts_(texts), callback_(std::move(callback)),
      button_defs_(buttons), tiles_(panel) {
    tiles_.place(scale);
    tiles_.set_on_press([this](unsigned layer, Qt::MouseButton b) { tile_pressed(layer, b); });
    const float s = scale;
    const int w = int(80 * s), h = int(24 * s);
    const int top = int(20 * s) + h + 12;
    for (unsigned i = 0; i < button_count; ++i) {
        auto* b = new QPushButton(panel);
        b->setObjectName(QStringLiteral("layer_strip_button_%1").arg(button_defs_[i].event));
        b->setGeometry(int(i) * w + int(12 * s) + int(12 * s * float(i)), top, w, h);
        const int event = button_defs_[i].event;
        QObject::connect(b, &QPushButton::clicked, b, [this, event] { report(0, 0, event); });
        buttons_[i] = b;
    }
    for (unsigned i = 0; i < layer_tile_row::count; ++i) tiles_.tile(i)->show();
    for (QPushButton* b : buttons_) b->show();
}

layer_strip::~layer_strip() {
    for (unsigned i = 0; i < layer_tile_row::count; ++i) delete tiles_.tile(i);
    for (QPushButton* b : buttons_) delete b;
}

QString layer_strip::text(const strip_text& t) const { return layer_text(texts_, t.id, t.def); }

void layer_strip::apply_texts() {
    for (unsigned i = 0; i < button_count; ++i) {
        buttons_[i]->setText(text(button_defs_[i].caption));
        buttons_[i]->setToolTip(text(button_defs_[i].hint));
    }
    redraw_tiles();
}

void layer_strip::draw_tile(unsigned layer) {
    const int s = tile_state(layer);
    tiles_.tile(layer)->set_state(s, text(tile_hint(s)));
}

void layer_strip::redraw_tiles() {
    for (unsigned i = 0; i < layer_tile_row::count; ++i) draw_tile(i);
}

int layer_strip::buttons_bottom() const { return buttons_[0]->geometry().bottom() + 1; }
int layer_strip::buttons_left() const { return buttons_[0]->x(); }

} // namespace qvk
