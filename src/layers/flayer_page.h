#pragma once
// The function-layer page: the layer strip with its tiles and toolbar, and
// the keyboard drawing in which the keys of the current function layer are
// edited. Layers are read when first opened, saved with the strip's Save
// button, and saved to or loaded from .Fl_Cfg files.

#include <QObject>
#include <QPointer>
#include <array>
#include <memory>

#include "layers/fl_edit_class.h"
#include "ui/keyboard_page.h"

class QDialog;
class QTimer;
class QWidget;

namespace qvk {

class flayer_mgr;
class key_cap_pictures;

class flayer_page final : public keyboard_page {
public:
    // The page draws on `canvas`, a panel of the function-layer card.
    flayer_page(page_host& host, QWidget* canvas);
    ~flayer_page() override;

    // fl_0 .. fl_7: shows layer `tag`, reading it first when needed.
    void open(int tag) override { fl_0Execute(unsigned(tag)); }
    bool accepts(uint32_t command, uint32_t sub) const override;
    void record_arrived(uint32_t command, uint32_t sub) override;
    void initial_read_finished() override { show_flayer_editor(); }
    void apply_texts() override;
    void close_dialogs() override;

    void fl_0Execute(unsigned layer);
    // The one callback of the layer strip.
    void layer_strip_event(int index, int state, int event);

    unsigned cur_flayer() const { return cur_flayer_; }
    flayer_mgr* strip() const { return flayer_mgr_.get(); }
    fl_edit_class* editor() const { return fl_edit_.get(); }
    QTimer* save_button_timer() const { return save_button_timer_.get(); }

private:
    void show_layer_strip();
    void show_flayer_editor();
    void fit_canvas();
    void flayer_key_click(Qt::MouseButton button, unsigned layer, unsigned key_id, bool press_half, unsigned column,
                          unsigned row);
    void open_flayer_picker(unsigned layer, unsigned key_id, bool press_half, unsigned column, unsigned row);
    void save_flayer();
    void save_flayer_as();
    void load_flayer_file();
    void clear_flayer();
    void Timer_flayer_and_tlayer_save_button_enableTimer();

    QWidget* canvas_;
    unsigned cur_flayer_ = 0;
    std::unique_ptr<flayer_mgr> flayer_mgr_;
    std::unique_ptr<fl_edit_class> fl_edit_;
    std::unique_ptr<key_cap_pictures> dev_icon_collocation_;
    // The editor's drawing styles, one per item of the icon-colour combo.
    std::array<draw_style, 3> draw_styles_{{{-1, 0x000000, 0x267397, 0x267397},
                                            {0, 0x000000, 0x267397, 0x267397},
                                            {1, 0xFFFFFF, 0x267397, 0x267397}}};
    // Keeps the Save button off for a second after a save.
    std::unique_ptr<QTimer> save_button_timer_;
    // Counts editors created, so that a picker closing after its editor was
    // torn down writes nothing.
    unsigned editor_generation_ = 0;
    // The function picker while it is open.
    QPointer<QDialog> open_picker_;
    // False once the page is gone: a picker's event loop may outlive it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // Context of deferred calls: they are dropped with the page.
    QObject deferred_;
};

} // namespace qvk
