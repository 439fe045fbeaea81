#include "layers/tlayer_page.h"

#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "functions/func_sel.h"
#include "layers/layer_file_dialogs.h"
#include "layers/layer_state.h"
#include "layers/tlayer_mgr.h"
#include "link/command_catalogue.h"
#include "link/keyboard_records.h"
#include "ui/dialogs.h"
#include "ui/page_host.h"

namespace qvk {

namespace {

constexpr int canvas_margin = 12;
// Room left between the strip's buttons and the editor, at scale 1.
constexpr int strip_gap = 16;
constexpr int save_reenable_ms = 1000;
// Effects the ambient lights offer in the picker's lighting keys.
constexpr int ambient_effect_count = 10;

const layer_file_dialog_texts tlayer_file_texts{"trigger layer cfg file(*.Tl_Cfg);;all file(*.*)",
                                                "Tl_Cfg",
                                                "choice a trigger cfg file...",
                                                "]create fail!",
                                                {342, "文件大小错误！"},
                                                {343, "文件读取错误！"},
                                                {344, "无法识别的配置文件！"}};

} // namespace

tlayer_page::tlayer_page(page_host& host, QWidget* canvas)
    : keyboard_page(host), canvas_(canvas), save_button_timer_(std::make_unique<QTimer>()) {
    save_button_timer_->setObjectName(QStringLiteral("Timer_flayer_and_tlayer_save_button_enable"));
    save_button_timer_->setInterval(save_reenable_ms);
    QObject::connect(save_button_timer_.get(), &QTimer::timeout, &deferred_,
                     [this] { Timer_flayer_and_tlayer_save_button_enableTimer(); });
}

tlayer_page::~tlayer_page() {
    *alive_ = false;
    tl_edit_.reset();
    tlayer_mgr_.reset();
    canvas_->setMinimumSize(0, 0);
}

void tlayer_page::tl_0Execute(unsigned layer) {
    if (layer >= record_size::tlayer_count) return;
    cur_tlayer_ = layer;
    ++editor_generation_;
    if (host().records().tlayer_loaded[layer]) {
        show_tl_editor();
    } else {
        // Until the layer arrives the editor must not offer the items of
        // the layer shown before (they would be edited, and saved, under
        // the new layer's name).
        if (tl_edit_) tl_edit_->refresh();
        host().send_command(cmd::read_tlayer, uint8_t(layer), 0, 0, 1, true);
    }
}

// ---------------------------------------------------------------- replies

// Only the layer shown is kept: a reply for another layer is stale.
bool tlayer_page::accepts(uint32_t command, uint32_t sub) const {
    return command != cmd::read_tlayer || sub == cur_tlayer_;
}

void tlayer_page::record_arrived(uint32_t command, uint32_t) {
    switch (command) {
    case cmd::read_layer_state:
    case cmd::layer_state_changed: show_layer_strip(); break;
    // The first layer of a connection is shown when the initial read ends.
    case cmd::read_tlayer:
        if (host().initial_read_finished()) show_tl_editor();
        break;
    default: break;
    }
}

void tlayer_page::show_layer_strip() {
    if (tlayer_mgr_) {
        tlayer_mgr_->redraw_tiles();
        return;
    }
    keyboard_records& rec = host().records();
    tlayer_mgr_ = std::make_unique<tlayer_mgr>(canvas_, host().scale(), rec.layer_state.data(), host().texts(),
                                               [this](int i, int s, int e) { layer_strip_event(i, s, e); });
    tlayer_mgr_->redraw_tiles();
    // An active layer number beyond the eight layers names nothing to edit.
    const uint8_t active = rec.layer_state[layer_state::off_active_tlayer];
    cur_tlayer_ = active < record_size::tlayer_count ? active : 0;
    fit_canvas();
}

void tlayer_page::apply_texts() {
    if (tlayer_mgr_) tlayer_mgr_->apply_texts();
    if (tl_edit_) tl_edit_->apply_texts();
}

void tlayer_page::close_dialogs() {
    if (open_picker_) open_picker_->reject();
}

// ---------------------------------------------------------------- editor

void tlayer_page::show_tl_editor() {
    if (!ensure_tl_editor()) return;
    tl_edit_->show();
    fit_canvas();
}

bool tlayer_page::ensure_tl_editor() {
    if (!tlayer_mgr_) return false;
    if (!tl_edit_) {
        keyboard_records& rec = host().records();
        Ttl_edit_frame::params p;
        p.records = &rec;
        p.cur_flayer = &rec.cur_flayer;
        p.cur_tlayer = &cur_tlayer_;
        p.scale = host().scale();
        p.texts = &host().texts();
        p.dialogs = &host().dialogs();
        p.pick = [this](tlayer::page kind, unsigned item, unsigned which) { pick_code(kind, item, which); };
        tl_edit_ = std::make_unique<Ttl_edit_frame>(p, canvas_);
        ++editor_generation_;
        const float s = host().scale();
        tl_edit_->move(tlayer_mgr_->buttons_left(), tlayer_mgr_->buttons_bottom() + int(float(strip_gap) * s));
    } else {
        tl_edit_->refresh();
    }
    return true;
}

void tlayer_page::fit_canvas() {
    QSize need(0, 0);
    if (tlayer_mgr_) need = QSize(tlayer_mgr_->tile(7)->geometry().right() + 1, tlayer_mgr_->buttons_bottom());
    if (tl_edit_) need = need.expandedTo(QSize(tl_edit_->geometry().right() + 1, tl_edit_->geometry().bottom() + 1));
    canvas_->setMinimumSize(need + QSize(canvas_margin, canvas_margin));
}

// The picker runs its own event loop; it opens once the click has been
// handled, so that nothing the loop does can pull the box away under the
// click.
void tlayer_page::pick_code(tlayer::page p, unsigned item, unsigned which) {
    const unsigned layer = cur_tlayer_;
    QTimer::singleShot(0, &deferred_, [this, layer, p, item, which] { open_tlayer_picker(layer, p, item, which); });
}

void tlayer_page::open_tlayer_picker(unsigned layer, tlayer::page p, unsigned item, unsigned which) {
    if (!tl_edit_ || layer != cur_tlayer_ || layer >= record_size::tlayer_count || host().closing()) return;
    keyboard_records& rec = host().records();
    const uint8_t* target = tlayer::item_code(rec.tlayers[layer].data(), p, item, which);
    if (!target) return;
    // The picker edits a copy: the connection, and this page with it, may
    // end while it is open.
    func_code code = fc_from(target);
    const unsigned generation = editor_generation_;
    const std::shared_ptr<bool> alive = alive_;
    {
        Tfunc_sel::params fp;
        fp.convert = &host().texts();
        fp.bkl_effect_count = rec.lighting[0];
        fp.ws_effect_count = ambient_effect_count;
        fp.code = code.data();
        fp.macro_mode = 0;
        fp.scale = host().scale();
        fp.dialogs = &host().dialogs();
        Tfunc_sel picker(fp, host().dialog_parent());
        open_picker_ = &picker;
        picker.exec();
    }
    if (!*alive || !tl_edit_ || generation != editor_generation_ || layer != cur_tlayer_) return;
    tl_edit_->code_chosen(p, item, which, code.data());
}

// ---------------------------------------------------------------- strip events

void tlayer_page::layer_strip_event(int index, int, int event) {
    switch (event) {
    case ev_tile:
        if (index >= 0 && index < 8)
            host().send_block(cmd::write_layer_state, 0, host().records().layer_state.data(),
                              record_size::layer_state, 0, true);
        break;
    case ev_tlayer_save: save_tlayer(); break;
    case ev_tlayer_save_as: save_tlayer_as(); break;
    case ev_tlayer_load: load_tlayer_file(); break;
    case ev_tlayer_clear: clear_tlayer(); break;
    default: break;
    }
}

void tlayer_page::save_tlayer() {
    if (tlayer_mgr_) tlayer_mgr_->save_button()->setEnabled(false);
    const std::shared_ptr<bool> alive = alive_;
    host().send_block(cmd::write_tlayer, uint8_t(cur_tlayer_), host().records().tlayers[cur_tlayer_].data(),
                      record_size::tlayer, 0, true);
    // A refused send shows a message whose event loop may end the
    // connection, and this page with it.
    if (*alive && !save_button_timer_->isActive()) save_button_timer_->start();
}

void tlayer_page::Timer_flayer_and_tlayer_save_button_enableTimer() {
    save_button_timer_->stop();
    if (tlayer_mgr_) tlayer_mgr_->save_button()->setEnabled(true);
}

void tlayer_page::save_tlayer_as() {
    save_layer_file_as(host(), tlayer_file_format, host().records().tlayers[cur_tlayer_].data(), tlayer_file_texts);
}

void tlayer_page::load_tlayer_file() {
    const std::shared_ptr<bool> alive = alive_;
    load_layer_file_into(host(), tlayer_file_format, host().records().tlayers[cur_tlayer_].data(), tlayer_file_texts);
    // The dialogs may have ended the connection, and this page with it.
    if (*alive && tl_edit_) tl_edit_->refresh();
}

void tlayer_page::clear_tlayer() {
    const std::shared_ptr<bool> alive = alive_;
    if (!host().dialogs().ask_yes_no(host().lng(318, "警告"), host().lng(317, "这会清空本层的所有配置，确定要这么做吗？")) ||
        !*alive)
        return;
    tlayer::clear_layer(host().records().tlayers[cur_tlayer_].data());
    // The editor is made if it is missing, but not shown by this.
    ensure_tl_editor();
}

} // namespace qvk
