#include "layers/flayer_mgr.h"

#include <QComboBox>
#include <QPushButton>

#include "layers/layer_state.h"

namespace qvk {

namespace {

const std::array<strip_button_def, layer_strip::button_count> flayer_buttons = {{
    {{303, "保存"}, {304, "将当前层配置保存到键盘内"}, ev_flayer_save},
    {{305, "另存为"}, {306, "将当前层配置保存为一个文件，便于将来恢复或者共享给朋友"}, ev_flayer_save_as},
    {{307, "加载文件"}, {308, "打开一个层配置文件，并加载到当前层，您可以保存到键盘内，或者编辑"}, ev_flayer_load},
    {{309, "清空本层"}, {310, "这将清空本层的所有配置，所有当前层的数据都会丢失"}, ev_flayer_clear},
}};

constexpr strip_text tile_hints[3] = {
    {700, "层已关闭，鼠标左键开启，右键切换到这个层"},
    {701, "层已开启，鼠标左键关闭，右键切换到这个层"},
    {702, "当前的默认层，鼠标右键其他层则切换到其他层"},
};

constexpr strip_text colour_items[3] = {{311, "默认"}, {312, "白色"}, {313, "绿色"}};
constexpr strip_text colour_hint{314, "选择图标的配色"};
constexpr strip_text scale_auto{315, "自动"};
constexpr strip_text scale_hint{316, "选择图标的缩放比例，[自动]则使用操作系统设置的缩放比例"};
const char* const fixed_scale_items[] = {"1x", "1.25x", "1.5x", "1.75x", "2x"};

} // namespace

flayer_mgr::flayer_mgr(QWidget* card, float scale, uint8_t* layer_state, const key_code_convert& texts,
                       layer_strip_callback callback)
    : layer_strip(card, scale, layer_state, texts, std::move(callback), flayer_buttons) {
    const float s = scale;
    const int w = int(80 * s);
    auto make_combo = [&](int j, const char* name, int event) {
        auto* c = new QComboBox(card);
        c->setObjectName(QString::fromLatin1(name));
        QPushButton* b = button(unsigned(j));
        const int ch = c->sizeHint().height();
        c->setGeometry((4 + j) * w + int(12 * s) + int(float(48 + 12 * j) * s), b->y() + (b->height() - ch) / 2, w,
                       ch);
        QObject::connect(c, &QComboBox::activated, c, [this, event](int item) { report(item, 0, event); });
        c->show();
        return c;
    };
    colour_combo_ = make_combo(0, "cb_flayer_icon_colour", ev_flayer_colours);
    scale_combo_ = make_combo(1, "cb_flayer_icon_scale", ev_flayer_scale);
    for (int i = 0; i < 3; ++i) colour_combo_->addItem(QString());
    scale_combo_->addItem(QString());
    for (const char* item : fixed_scale_items) scale_combo_->addItem(QString::fromLatin1(item));
    colour_combo_->setCurrentIndex(0);
    scale_combo_->setCurrentIndex(0);
    apply_texts();
}

flayer_mgr::~flayer_mgr() {
    delete colour_combo_;
    delete scale_combo_;
}

void flayer_mgr::apply_texts() {
    layer_strip::apply_texts();
    for (int i = 0; i < 3; ++i) colour_combo_->setItemText(i, text(colour_items[i]));
    colour_combo_->setToolTip(text(colour_hint));
    scale_combo_->setItemText(0, text(scale_auto));
    scale_combo_->setToolTip(text(scale_hint));
}

int flayer_mgr::bottom() const {
    return std::max(buttons_bottom(), std::max(colour_combo_->geometry().bottom(), scale_combo_->geometry().bottom()) + 1);
}

int flayer_mgr::tile_state(unsigned layer) const { return layer_state::flayer_tile(state_, layer); }

strip_text flayer_mgr::tile_hint(int state) const { return tile_hints[state >= 0 && state <= 2 ? state : 0]; }

void flayer_mgr::tile_pressed(unsigned layer, Qt::MouseButton button) {
    if (button == Qt::LeftButton) {
        const int now = layer_state::flayer_left_click(state_, layer);
        draw_tile(layer);
        report(int(layer), now, ev_tile);
    } else if (button == Qt::RightButton) {
        const unsigned old_default = layer_state::flayer_right_click(state_, layer);
        if (old_default < layer_tile_row::count) draw_tile(old_default);
        draw_tile(layer);
        report(int(layer), layer_state::tile_default, ev_tile);
    }
}

} // namespace qvk
