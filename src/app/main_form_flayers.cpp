// The function-layer page of the main window: the layer state and its
// strip, reading and saving function layers, layer files, and the keyboard
// drawing in which the keys of the current layer are edited.

#include <QComboBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <cstring>

#include "app/main_form.h"
#include "functions/func_sel.h"
#include "layers/flayer_mgr.h"
#include "layers/key_cap_pictures.h"
#include "layers/layer_file.h"
#include "layers/layer_state.h"

namespace qvk {

namespace {

constexpr int canvas_margin = 12;
// Room left between the strip and the keyboard drawing.
constexpr int strip_gap = 16;

const char* const flayer_file_filter = "function layer cfg file(*.Fl_Cfg);;all file(*.*)";

} // namespace

// The card holds one canvas in a scroll area: at a large drawing scale the
// keyboard is wider and taller than the window.
void Tmain_form::build_flayer_card() {
    QWidget* c = cards_[c_flayer_edit];
    auto* box = new QScrollArea(c);
    box->setObjectName(QStringLiteral("flayer_scroll"));
    box->setFrameShape(QFrame::NoFrame);
    box->setWidgetResizable(true);
    flayer_canvas_ = new QWidget;
    flayer_canvas_->setObjectName(QStringLiteral("c_flayer_edit_canvas"));
    box->setWidget(flayer_canvas_);
    c->layout()->addWidget(box);
    card_panels_[c_flayer_edit] = flayer_canvas_;
    connect(Timer_flayer_and_tlayer_save_button_enable_, &QTimer::timeout, this,
            &Tmain_form::Timer_flayer_and_tlayer_save_button_enableTimer);
}

void Tmain_form::fl_0Execute(unsigned layer) {
    cur_flayer_ = layer;
    if (records_->flayer_loaded[layer]) {
        show_flayer_editor();
    } else {
        // Until the layer arrives the drawing must not offer the keys of
        // the layer shown before (they would be edited, and saved, under
        // the new layer's name).
        if (fl_edit_) fl_edit_->redraw();
        send_command(cmd::read_flayer, uint8_t(layer), 0, 0, 1, true);
    }
}

// ---------------------------------------------------------------- replies

void Tmain_form::on_layer_state(const uint8_t* payload, bool initial_read_reply) {
    std::memcpy(records_->layer_state.data(), payload, record_size::layer_state);
    if (initial_read_reply) mark_read_done(4);
    show_layer_strips();
    if (initial_read_reply) continue_initial_read();
}

void Tmain_form::show_layer_strips() {
    if (flayer_mgr_) {
        flayer_mgr_->redraw_tiles();
        return;
    }
    flayer_mgr_ = std::make_unique<flayer_mgr>(flayer_canvas_, dpi_.scale, records_->layer_state.data(), texts(),
                                               [this](int i, int s, int e) { layer_strip_event(i, s, e); });
    flayer_mgr_->redraw_tiles();
    // A default layer number beyond the eight layers names nothing to edit.
    const uint8_t def = records_->layer_state[layer_state::off_default_flayer];
    cur_flayer_ = def < record_size::flayer_count ? def : 0;
    fit_flayer_canvas();
}

void Tmain_form::on_flayer_reply(const std::vector<uint8_t>& record, uint32_t sub) {
    if (sub == cur_flayer_ && sub < record_size::flayer_count) {
        std::memcpy(records_->flayers[sub].data(), record.data(), std::min(record.size(), record_size::flayer));
        records_->flayer_loaded[sub] = true;
    }
    mark_read_done(5);
    // The first layer of a connection is drawn when the initial read ends.
    if (initial_read_.finished) show_flayer_editor();
    set_busy(1, 0);
    continue_initial_read();
}

// ---------------------------------------------------------------- editor

void Tmain_form::show_flayer_editor() {
    if (!fl_edit_) {
        if (!dev_icon_collocation_) dev_icon_collocation_ = std::make_unique<key_cap_pictures>();
        fl_edit_ = std::make_unique<fl_edit_class>(flayer_canvas_, dpi_.scale, texts());
        ++flayer_editor_generation_;
        fl_edit_->set_layout(records_->kb_layout.data());
        fl_edit_->set_layer_buffers(&records_->flayers, &records_->flayer_loaded, &cur_flayer_);
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
    fit_flayer_canvas();
}

void Tmain_form::fit_flayer_canvas() {
    QSize need(0, 0);
    if (flayer_mgr_) {
        const QComboBox* last = flayer_mgr_->scale_combo();
        need = QSize(last->geometry().right() + 1, flayer_mgr_->bottom());
    }
    if (fl_edit_) need = need.expandedTo(fl_edit_->extent());
    flayer_canvas_->setMinimumSize(need + QSize(canvas_margin, canvas_margin));
}

void Tmain_form::flayer_key_click(Qt::MouseButton button, unsigned layer, unsigned key_id, bool press_half,
                                  unsigned column, unsigned row) {
    if (button != Qt::LeftButton) return;
    // The picker runs its own event loop; it opens once the click has been
    // handled, so that nothing the loop does can pull the key away under
    // the click.
    QTimer::singleShot(0, this, [this, layer, key_id, press_half, column, row] {
        open_flayer_picker(layer, key_id, press_half, column, row);
    });
}

void Tmain_form::open_flayer_picker(unsigned layer, unsigned key_id, bool press_half, unsigned column, unsigned row) {
    if (!fl_edit_ || layer >= record_size::flayer_count || closing_) return;
    uint8_t* const buffer = records_->flayers[layer].data();
    uint8_t* const target =
        flayer::slot_code(buffer, key_id, press_half ? flayer::key_half::press : flayer::key_half::release);
    if (!target) return;
    // The picker edits a copy: the connection may end while it is open.
    func_code code = fc_from(target);
    const unsigned generation = flayer_editor_generation_;
    {
        Tfunc_sel::params p;
        p.convert = &texts();
        p.bkl_effect_count = records_->lighting[0];
        p.ws_effect_count = 10;
        p.code = code.data();
        p.macro_mode = 0;
        p.scale = dpi_.scale;
        p.dialogs = dialogs_;
        Tfunc_sel picker(p, this);
        open_picker_ = &picker;
        picker.exec();
    }
    if (!fl_edit_ || generation != flayer_editor_generation_) return;
    std::memcpy(target, code.data(), code.size());
    if (press_half) flayer::copy_held_press_to_release(flayer::key_slot(buffer, key_id));
    fl_edit_->draw_key(column, row);
}

// ---------------------------------------------------------------- strip events

void Tmain_form::layer_strip_event(int index, int, int event) {
    switch (event) {
    case ev_tile:
        if (index >= 0 && index < 8)
            send_block(cmd::write_layer_state, 0, records_->layer_state.data(), record_size::layer_state, 0, true);
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
            fit_flayer_canvas();
        }
        break;
    default: break;
    }
}

void Tmain_form::save_flayer() {
    if (flayer_mgr_) flayer_mgr_->save_button()->setEnabled(false);
    send_block(cmd::write_flayer, uint8_t(cur_flayer_), records_->flayers[cur_flayer_].data(), record_size::flayer, 0,
               true);
    if (!Timer_flayer_and_tlayer_save_button_enable_->isActive()) Timer_flayer_and_tlayer_save_button_enable_->start();
}

void Tmain_form::Timer_flayer_and_tlayer_save_button_enableTimer() {
    Timer_flayer_and_tlayer_save_button_enable_->stop();
    if (flayer_mgr_) flayer_mgr_->save_button()->setEnabled(true);
}

void Tmain_form::save_flayer_as() {
    const QString path = dialogs_->save_file_name(QStringLiteral("set a file name..."),
                                                  QString::fromLatin1(flayer_file_filter), QStringLiteral("Fl_Cfg"));
    if (path.isEmpty()) return;
    switch (save_layer_file(path.toStdString(), flayer_file_format, records_->flayers[cur_flayer_].data())) {
    case layer_file_result::create_failed:
        dialogs_->show_message(QStringLiteral("file[") + path + QStringLiteral("]create fail！"));
        break;
    case layer_file_result::write_failed: dialogs_->show_message(QStringLiteral("file write fail！")); break;
    default: break;
    }
}

void Tmain_form::load_flayer_file() {
    const QString path =
        dialogs_->open_file_name(QStringLiteral("choice a hw cfg file..."), QString::fromLatin1(flayer_file_filter));
    if (!path.isEmpty()) {
        switch (load_layer_file(path.toStdString(), flayer_file_format, records_->flayers[cur_flayer_].data())) {
        case layer_file_result::open_failed:
            dialogs_->show_message(QStringLiteral("file：") + path + QStringLiteral("open fail！"));
            break;
        case layer_file_result::wrong_size: dialogs_->show_message(lng(339, "文件大小错误！")); break;
        case layer_file_result::read_failed: dialogs_->show_message(lng(340, "文件读取错误！")); break;
        case layer_file_result::bad_magic: dialogs_->show_message(lng(341, "错误！无法识别的配置文件！")); break;
        default: break;
        }
    }
    if (fl_edit_) fl_edit_->redraw();
}

void Tmain_form::clear_flayer() {
    if (!dialogs_->ask_yes_no(lng(318, "警告"), lng(317, "这会清空本层的所有配置，确定要这么做吗？"))) return;
    records_->flayers[cur_flayer_].fill(0);
    if (fl_edit_) fl_edit_->redraw();
}

} // namespace qvk
