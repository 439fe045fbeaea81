#include "layers/flayer_page.h"

#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstring>

#include "functions/func_sel.h"
#include "layers/flayer_mgr.h"
#include "layers/layer_file_dialogs.h"
#include "layers/layer_state.h"
#include "link/command_catalogue.h"
#include "link/keyboard_records.h"
#include "ui/dialogs.h"
#include "ui/key_cap_pictures.h"
#include "ui/page_host.h"

namespace qvk {

namespace {

constexpr int canvas_margin = 12;
// Room left between the strip and the keyboard drawing.
constexpr int strip_gap = 16;
constexpr int save_reenable_ms = 1000;
// Effects the ambient lights offer in the picker's lighting keys.
constexpr int ambient_effect_count = 10;

const layer_file_dialog_texts flayer_file_texts{"function layer cfg file(*.Fl_Cfg);;all file(*.*)",
                                                "Fl_Cfg",
                                                "choice a hw cfg file...",
                                                "]create fail！",
                                                {339, "文件大小错误！"},
                                                {340, "文件读取错误！"},
                                                {341, "错误！无法识别的配置文件！"}};

} // namespace

flayer_page::flayer_page(page_host& host, QWidget* canvas)
    : keyboard_page(host), canvas_(canvas), save_button_timer_(std::make_unique<QTimer>()) {
    save_button_timer_->setObjectName(QStringLiteral("Timer_flayer_and_tlayer_save_button_enable"));
    save_button_timer_->setInterval(save_reenable_ms);
    QObject::connect(save_button_timer_.get(), &QTimer::timeout, &deferred_,
                     [this] { Timer_flayer_and_tlayer_save_button_enableTimer(); });
}

flayer_page::~flayer_page() {
    *alive_ = false;
    fl_edit_.reset();
    flayer_mgr_.reset();
    canvas_->setMinimumSize(0, 0);
}

void flayer_page::fl_0Execute(unsigned layer) {
    if (layer >= record_size::flayer_count) return;
    cur_flayer_ = layer;
    host().records().cur_flayer = layer;
    if (host().records().flayer_loaded[layer]) {
        show_flayer_editor();
    } else {
        // Until the layer arrives the drawing must not offer the keys of
        // the layer shown before (they would be edited, and saved, under
        // the new layer's name).
        if (fl_edit_) fl_edit_->redraw();
        host().send_command(cmd::read_flayer, uint8_t(layer), 0, 0, 1, true);
    }
}

// ---------------------------------------------------------------- replies

// Only the layer shown is kept: a reply for another layer is stale.
bool flayer_page::accepts(uint32_t command, uint32_t sub) const {
    return command != cmd::read_flayer || sub == cur_flayer_;
}

void flayer_page::record_arrived(uint32_t command, uint32_t) {
    switch (command) {
    case cmd::read_layer_state:
    case cmd::layer_state_changed: show_layer_strip(); break;
    // The first layer of a connection is drawn when the initial read ends.
    case cmd::read_flayer:
        if (host().initial_read_finished()) show_flayer_editor();
        break;
    default: break;
    }
}

void flayer_page::show_layer_strip() {
    if (flayer_mgr_) {
        flayer_mgr_->redraw_tiles();
        return;
    }
    keyboard_records& rec = host().records();
    flayer_mgr_ = std::make_unique<flayer_mgr>(canvas_, host().scale(), rec.layer_state.data(), host().texts(),
                                               [this](int i, int s, int e) { layer_strip_event(i, s, e); });
    flayer_mgr_->redraw_tiles();
    // A default layer number beyond the eight layers names nothing to edit.
    const uint8_t def = rec.layer_state[layer_state::off_default_flayer];
    cur_flayer_ = def < record_size::flayer_count ? def : 0;
    rec.cur_flayer = cur_flayer_;
    fit_canvas();
}

void flayer_page::apply_texts() {
    if (fl_edit_) fl_edit_->redraw();
    if (flayer_mgr_) flayer_mgr_->apply_texts();
}

void flayer_page::close_dialogs() {
    if (open_picker_) open_picker_->reject();
}

// ---------------------------------------------------------------- editor

void flayer_page::show_flayer_editor() {
    if (!fl_edit_) {
        keyboard_records& rec = host().records();
        if (!dev_icon_collocation_) dev_icon_collocation_ = std::make_unique<key_cap_pictures>();
        fl_edit_ = std::make_unique<fl_edit_class>(canvas_, host().scale(), host().texts());
        ++editor_generation_;
        fl_edit_->set_layout(rec.kb_layout.data());
        fl_edit_->set_layer_buffers(&rec.flayers, &rec.flayer_loaded, &cur_flayer_);
        fl_edit_->set_pictures(dev_icon_collocation_.get());
        fl_edit_->set_draw_style(draw_styles_[0]);
        fl_edit_->set_key_click([this](Qt::MouseButton b, unsigned layer, unsigned key_id, bool press_half,
                                       unsigned column, unsigned row) {
            flayer_key_click(b, layer, key_id, press_half, column, row);
        });
        fl_edit_->set_view_scale(0);
        // Under a strip that is taller than usual (a large screen scale) the
        // drawing moves down with it.
        if (flayer_mgr_)
            fl_edit_->set_top_offset(std::max(fl_edit_class::default_top_offset, flayer_mgr_->bottom() + strip_gap));
        fl_edit_->build();
    } else {
        fl_edit_->redraw();
    }
    fit_canvas();
}

void flayer_page::fit_canvas() {
    QSize need(0, 0);
    if (flayer_mgr_) {
        const QComboBox* last = flayer_mgr_->scale_combo();
        need = QSize(last->geometry().right() + 1, flayer_mgr_->bottom());
    }
    if (fl_edit_) need = need.expandedTo(fl_edit_->extent());
    canvas_->setMinimumSize(need + QSize(canvas_margin, canvas_margin));
}

void flayer_page::flayer_key_click(Qt::MouseButton button, unsigned layer, unsigned key_id, bool press_half,
                                   unsigned column, unsigned row) {
    if (button != Qt::LeftButton) return;
    // The picker runs its own event loop; it opens once the click has been
    // handled, so that nothing the loop does can pull the key away under
    // the click.
    QTimer::singleShot(0, &deferred_, [this, layer, key_id, press_half, column, row] {
        open_flayer_picker(layer, key_id, press_half, column, row);
    });
}

void flayer_page::open_flayer_picker(unsigned layer, unsigned key_id, bool press_half, unsigned column,
                                     unsigned row) {
    if (!fl_edit_ || layer >= record_size::flayer_count || host().closing()) return;
    keyboard_records& rec = host().records();
    uint8_t* const buffer = rec.flayers[layer].data();
    uint8_t* const target =
        flayer::slot_code(buffer, key_id, press_half ? flayer::key_half::press : flayer::key_half::release);
    if (!target) return;
    // The picker edits a copy: the connection, and this page with it, may
    // end while it is open.
    func_code code = fc_from(target);
    const unsigned generation = editor_generation_;
    const std::shared_ptr<bool> alive = alive_;
    {
        Tfunc_sel::params p;
        p.convert = &host().texts();
        p.bkl_effect_count = rec.lighting[0];
        p.ws_effect_count = ambient_effect_count;
        p.code = code.data();
        p.macro_mode = 0;
        p.scale = host().scale();
        p.dialogs = &host().dialogs();
        Tfunc_sel picker(p, host().dialog_parent());
        open_picker_ = &picker;
        picker.exec();
    }
    if (!*alive || !fl_edit_ || generation != editor_generation_) return;
    std::memcpy(target, code.data(), code.size());
    if (press_half) flayer::copy_held_press_to_release(flayer::key_slot(buffer, key_id));
    fl_edit_->draw_key(column, row);
}

// ---------------------------------------------------------------- strip events

void flayer_page::layer_strip_event(int index, int, int event) {
    switch (event) {
    case ev_tile:
        if (index >= 0 && index < 8)
            host().send_block(cmd::write_layer_state, 0, host().records().layer_state.data(),
                              record_size::layer_state, 0, true);
        break;
    case ev_flayer_save: save_flayer(); break;
    case ev_flayer_save_as: save_flayer_as(); break;
    case ev_flayer_load: load_flayer_file(); break;
    case ev_flayer_clear: clear_flayer(); break;
    case ev_flayer_colours:
        if (fl_edit_ && index >= 0 && index < int(draw_styles_.size())) {
            fl_edit_->set_draw_style(draw_styles_[size_t(index)]);
            fl_edit_->redraw();
        }
        break;
    case ev_flayer_scale:
        if (fl_edit_) {
            fl_edit_->set_view_scale(index);
            fl_edit_->redraw();
            fit_canvas();
        }
        break;
    default: break;
    }
}

void flayer_page::save_flayer() {
    if (flayer_mgr_) flayer_mgr_->save_button()->setEnabled(false);
    const std::shared_ptr<bool> alive = alive_;
    host().send_block(cmd::write_flayer, uint8_t(cur_flayer_), host().records().flayers[cur_flayer_].data(),
                      record_size::flayer, 0, true);
    // A refused send shows a message whose event loop may end the
    // connection, and this page with it.
    if (*alive && !save_button_timer_->isActive()) save_button_timer_->start();
}

void flayer_page::Timer_flayer_and_tlayer_save_button_enableTimer() {
    save_button_timer_->stop();
    if (flayer_mgr_) flayer_mgr_->save_button()->setEnabled(true);
}

void flayer_page::save_flayer_as() {
    save_layer_file_as(host(), flayer_file_format, host().records().flayers[cur_flayer_].data(), flayer_file_texts);
}

void flayer_page::load_flayer_file() {
    const std::shared_ptr<bool> alive = alive_;
    load_layer_file_into(host(), flayer_file_format, host().records().flayers[cur_flayer_].data(), flayer_file_texts);
    // The dialogs may have ended the connection, and this page with it.
    if (*alive && fl_edit_) fl_edit_->redraw();
}

void flayer_page::clear_flayer() {
    const std::shared_ptr<bool> alive = alive_;
    if (!host().dialogs().ask_yes_no(host().lng(318, "警告"), host().lng(317, "这会清空本层的所有配置，确定要这么做吗？")) ||
        !*alive)
        return;
    host().records().flayers[cur_flayer_].fill(0);
    if (fl_edit_) fl_edit_->redraw();
}

} // namespace qvk
