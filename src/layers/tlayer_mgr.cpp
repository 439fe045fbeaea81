#include "layers/tlayer_mgr.h"

#include "layers/layer_state.h"

namespace qvk {

namespace {

const std::array<strip_button_def, layer_strip::button_count> tlayer_buttons = {{
    {{320, "保存"}, {321, "将当前层配置保存到键盘内"}, ev_tlayer_save},
    {{322, "另存为"}, {323, "将当前层配置保存为一个文件，便于将来恢复或者共享给朋友"}, ev_tlayer_save_as},
    {{324, "加载文件"}, {325, "打开一个层配置文件，并加载到当前层，您可以保存到键盘内，或者编辑"}, ev_tlayer_load},
    {{326, "清空本层"}, {327, "这将清空本层的所有配置，所有当前层的数据都会丢失"}, ev_tlayer_clear},
}};

constexpr strip_text tile_hints[2] = {
    {703, "层未激活，鼠标左键点击激活"},
    {704, "层已激活"},
};

} // namespace

tlayer_mgr::tlayer_mgr(QWidget* panel, float scale, uint8_t* layer_state, const key_code_convert& texts,
                       layer_strip_callback callback)
    : layer_strip(panel, scale, layer_state, texts, std::move(callback), tlayer_buttons) {
    apply_texts();
}

int tlayer_mgr::tile_state(unsigned layer) const { return layer_state::tlayer_tile(state_, layer); }

strip_text tlayer_mgr::tile_hint(int state) const { return tile_hints[state == layer_state::tile_open ? 1 : 0]; }

void tlayer_mgr::tile_pressed(unsigned layer, Qt::MouseButton button) {
    if (button != Qt::LeftButton) return;
    const unsigned old_active = state_[layer_state::off_active_tlayer];
    if (!layer_state::tlayer_left_click(state_, layer)) return;
    if (old_active < layer_tile_row::count) draw_tile(old_active);
    draw_tile(layer);
    report(int(layer), layer_state::tile_open, ev_tile);
}

} // namespace qvk
