#pragma once
// The trigger-layer strip at the top of the trigger-layer page: eight tiles
// of which the active trigger layer is lit (a left click makes another one
// active) and the toolbar (Save, Save as, Load file, Clear this layer).

#include "layers/layer_strip.h"

namespace qvk {

class tlayer_mgr final : public layer_strip {
public:
    tlayer_mgr(QWidget* panel, float scale, uint8_t* layer_state, const key_code_convert& texts,
               layer_strip_callback callback);

protected:
    int tile_state(unsigned layer) const override;
    strip_text tile_hint(int state) const override;
    void tile_pressed(unsigned layer, Qt::MouseButton button) override;
};

} // namespace qvk
