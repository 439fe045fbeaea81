#pragma once
// The function-layer strip at the top of the function-layer page: eight
// tiles showing the default layer and which layers are open, the toolbar
// (Save, Save as, Load file, Clear this layer) and the two drawing choices
// of the editor below (icon colours, scale).

#include "layers/layer_strip.h"

class QComboBox;

namespace qvk {

class flayer_mgr final : public layer_strip {
public:
    flayer_mgr(QWidget* card, float scale, uint8_t* layer_state, const key_code_convert& texts,
               layer_strip_callback callback);
    ~flayer_mgr() override;

    void apply_texts() override;
    QComboBox* colour_combo() const { return colour_combo_; }
    QComboBox* scale_combo() const { return scale_combo_; }
    // The lowest edge of the strip's controls.
    int bottom() const;

protected:
    int tile_state(unsigned layer) const override;
    strip_text tile_hint(int state) const override;
    void tile_pressed(unsigned layer, Qt::MouseButton button) override;

private:
    QComboBox* colour_combo_ = nullptr;
    QComboBox* scale_combo_ = nullptr;
};

} // namespace qvk
