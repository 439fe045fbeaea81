#pragma once
// The trigger-layer page: the trigger-layer strip with its tiles (the
// active trigger layer) and toolbar, and the editor frame below it with its
// five tabs and key matrix. Trigger layers are read when first opened,
// saved with the strip's Save button, and saved to or loaded from .Tl_Cfg
// files.

#include <QObject>
#include <QPointer>
#include <memory>

#include "layers/tl_edit_frame.h"
#include "ui/keyboard_page.h"

class QDialog;
class QTimer;
class QWidget;

namespace qvk {

class tlayer_mgr;

class tlayer_page final : public keyboard_page {
public:
    // The page draws on `canvas`, the panel of the trigger-layer card.
    tlayer_page(page_host& host, QWidget* canvas);
    ~tlayer_page() override;

    // tl_0 .. tl_7: shows trigger layer `tag`, reading it first when needed.
    void open(int tag) override { tl_0Execute(unsigned(tag)); }
    bool accepts(uint32_t command, uint32_t sub) const override;
    void record_arrived(uint32_t command, uint32_t sub) override;
    void initial_read_finished() override { show_tl_editor(); }
    void apply_texts() override;
    void close_dialogs() override;

    void tl_0Execute(unsigned layer);
    // The one callback of the layer strip.
    void layer_strip_event(int index, int state, int event);

    unsigned cur_tlayer() const { return cur_tlayer_; }
    tlayer_mgr* strip() const { return tlayer_mgr_.get(); }
    Ttl_edit_frame* editor() const { return tl_edit_.get(); }
    QTimer* save_button_timer() const { return save_button_timer_.get(); }

private:
    void show_layer_strip();
    // Creates the editor frame (once the strip exists) or refreshes it, and
    // shows it.
    void show_tl_editor();
    // Creates the editor frame (hidden) or refreshes it; false without a strip.
    bool ensure_tl_editor();
    void fit_canvas();
    void pick_code(tlayer::page p, unsigned item, unsigned which);
    void open_tlayer_picker(unsigned layer, tlayer::page p, unsigned item, unsigned which);
    void save_tlayer();
    void save_tlayer_as();
    void load_tlayer_file();
    void clear_tlayer();
    void Timer_flayer_and_tlayer_save_button_enableTimer();

    QWidget* canvas_;
    unsigned cur_tlayer_ = 0;
    std::unique_ptr<tlayer_mgr> tlayer_mgr_;
    std::unique_ptr<Ttl_edit_frame> tl_edit_;
    // Keeps the Save button off for a second after a save.
    std::unique_ptr<QTimer> save_button_timer_;
    // Counts editors created and layers shown, so that a picker closing
    // after either changed writes nothing.
    unsigned editor_generation_ = 0;
    QPointer<QDialog> open_picker_;
    // False once the page is gone: a dialog's event loop may outlive it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // Context of deferred calls: they are dropped with the page.
    QObject deferred_;
};

} // namespace qvk
