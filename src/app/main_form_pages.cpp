// The main window's keyboard pages: which card each one sits on, which
// replies bring it into being, and handing it navigation and stored records.
// A new page adds one line to the table below.

#include <cstring>
#include <memory>

#include "app/device_settings_page.h"
#include "app/firmware_page.h"
#include "app/main_form.h"
#include "layers/flayer_page.h"
#include "layers/layer_state.h"
#include "lighting/custom_backlight_page.h"
#include "lighting/ambient_page.h"
#include "lighting/backlight_page.h"
#include "lighting/bead_page.h"
#include "lighting/indicator_action_page.h"
#include "lighting/indicator_page.h"
#include "layers/tlayer_page.h"
#include "link/link_kind.h"
#include "macros/macro_page.h"
#include "music/music_page.h"

namespace qvk {

namespace {

using page_maker = std::unique_ptr<keyboard_page> (*)(page_host& host, QWidget* panel);

template <class Page>
std::unique_ptr<keyboard_page> make(page_host& host, QWidget* panel) {
    return std::make_unique<Page>(host, panel);
}

struct page_def {
    int card;
    // Replies whose arrival creates the page (0: none).
    std::array<uint8_t, 2> created_by;
    page_maker maker;
};

const page_def page_defs[] = {
    {c_flayer_edit, {cmd::read_layer_state, cmd::layer_state_changed}, make<flayer_page>},
    {c_bkl_lig_edit, {0, 0}, make<Tled_bkl_edit_frame>},
    {c_indicator_edit, {0, 0}, make<Tindicator_action_edit_frame>},
    {c_bkl_indicator_edit, {0, 0}, make<Tbkl_indicator_edit_frame>},
    {c_tlayer_edit, {cmd::read_layer_state, cmd::layer_state_changed}, make<tlayer_page>},
    {c_macro_edit, {0, 0}, make<macro_page>},
    {c_music_spectrum, {0, 0}, make<Tmusic_spectrum_frame>},
    {c_device_config, {cmd::read_scan_params, 0}, make<device_settings_page>},
    {c_kb_mgr, {cmd::maintenance_status, 0}, make<firmware_page>},
    {c_bkl_custom_edit, {0, 0}, make<Tled_custom_editer_frame>},
    {c_bkl_ws_edit, {cmd::read_lighting, 0}, make<Tled_bkl_ws_edit_frame>},
    {c_bkl_user_led_edit, {0, 0}, make<Tbkl_user_led_editer>},
};

const page_def* def_of(int card) {
    for (const page_def& d : page_defs)
        if (d.card == card) return &d;
    return nullptr;
}

} // namespace

keyboard_page* Tmain_form::page(int card) const {
    return card >= 0 && card < card_count ? pages_[size_t(card)].get() : nullptr;
}

keyboard_page* Tmain_form::ensure_page(int card) {
    if (card < 0 || card >= card_count) return nullptr;
    auto& slot = pages_[size_t(card)];
    if (!slot) {
        const page_def* d = def_of(card);
        if (!d || !active_link_) return nullptr;
        slot = d->maker(*this, card_panels_[size_t(card)]);
    }
    return slot.get();
}

bool Tmain_form::pages_accept(uint32_t command, uint32_t sub) const {
    for (const auto& p : pages_)
        if (p && !p->accepts(command, sub)) return false;
    return true;
}

void Tmain_form::notify_pages(uint32_t command, uint32_t sub) {
    for (const page_def& d : page_defs)
        for (uint8_t c : d.created_by)
            if (c != 0 && c == command) ensure_page(d.card);
    for (auto& p : pages_)
        if (p) p->record_arrived(command, sub);
}

void Tmain_form::on_layer_state(const uint8_t* payload, uint32_t command, bool initial_read_reply) {
    std::memcpy(records_->layer_state.data(), payload, record_size::layer_state);
    if (initial_read_reply) mark_read_done(4);
    notify_pages(command, 0);
    if (initial_read_reply) continue_initial_read();
}

uint32_t Tmain_form::link_kind() const { return active_link_ ? active_link_->get_kind() : kind_none; }

} // namespace qvk
