#pragma once
// The trigger-layer editor: five tabs (Fn keys, combinations, multi-tap
// keys, tap-or-hold keys, press-and-hold keys), each listing its items on
// the left and the chosen item's settings on the right, and below them the
// key matrix: the keyboard drawn with the current function layer's codes,
// the keys of the chosen item marked orange. Clicking a key there gives it
// to the chosen item. The editor changes the current trigger layer's bytes
// in place; the strip's Save sends them.

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "layers/tlayer_record.h"
#include "ui/keyboard_drawing.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace qvk {

class click_panel;
class dialog_service;
class key_code_convert;
class toggle_switch;
struct keyboard_records;

class Ttl_edit_frame final : public QWidget {
public:
    // The function picker for one code of an item: the page opens it
    // (deferred, guarded against the connection ending) and hands the
    // chosen code back through code_chosen.
    using pick_callback = std::function<void(tlayer::page p, unsigned item, unsigned which)>;

    struct params {
        keyboard_records* records = nullptr; // layers, layout, layer state
        const unsigned* cur_flayer = nullptr;
        const unsigned* cur_tlayer = nullptr;
        float scale = 1.0f;
        const key_code_convert* texts = nullptr;
        dialog_service* dialogs = nullptr;
        pick_callback pick;
    };
    static constexpr unsigned no_item = 32;
    // Sizes at scale 1.
    static constexpr int design_width = 1007;
    static constexpr int tabs_height = 361;
    static constexpr int item_height = 32;
    static constexpr int list_width = 200;
    static constexpr QRgb mark_fill = 0xFF8C1A;

    Ttl_edit_frame(const params& p, QWidget* parent);
    ~Ttl_edit_frame() override;

    // Draws the key matrix and resets every tab to no item.
    void refresh();
    void apply_texts();

    // Shows item n of a tab (an item action).
    void show_item(tlayer::page p, unsigned n);
    // A key of the matrix given to the current tab's item.
    void key_assign(unsigned key_id);
    // The picker chose a code for one code of an item.
    void code_chosen(tlayer::page p, unsigned item, unsigned which, const uint8_t* code);

    QTabWidget* tabs() const { return tabs_; }
    QWidget* matrix_panel() const { return panel_key_matrix_list_; }
    const keyboard_drawing& matrix() const { return matrix_; }
    tlayer::page current_page() const;
    unsigned current_item(tlayer::page p) const { return tab(p).current; }
    bool marked(unsigned column, unsigned row) const { return marked_[slot(column, row)]; }
    // Whether the matrix shows the current trigger layer.
    bool matrix_drawn() const { return matrix_drawn_; }

private:
    struct tab_controls {
        tlayer::page kind{};
        QWidget* page = nullptr;
        QWidget* details = nullptr;
        std::vector<QPushButton*> items;
        std::vector<QLabel*> labels;
        toggle_switch* enable = nullptr;
        QLabel* key_panel = nullptr;
        std::array<click_panel*, tlayer::combo_key_slots> positions{};
        QComboBox* count = nullptr;
        QLineEdit* time = nullptr;
        std::vector<click_panel*> boxes;
        unsigned current = no_item;
    };
    struct tab_def;
    static const tab_def* tab_defs();

    static size_t slot(unsigned column, unsigned row) { return size_t(column) * layout::max_rows + row; }
    tab_controls& tab(tlayer::page p) { return tabs_controls_[unsigned(p)]; }
    const tab_controls& tab(tlayer::page p) const { return tabs_controls_[unsigned(p)]; }
    uint8_t* layer() const;
    bool layer_ready() const;
    bool current_enabled(const tab_controls& t) const;

    void build_tab(const tab_def& d);
    void draw_matrix();
    void paint_matrix_key(key_picture& k, const layout::key_entry& e);
    void matrix_clicked(key_picture& k, Qt::MouseButton b, QPoint at);

    void mark_item(tlayer::page p, unsigned n);
    void set_mark(unsigned key_id, bool on);
    void clear_marks();

    void update_caption(tlayer::page p, unsigned n);
    void fill_details(tab_controls& t);
    void show_code(tab_controls& t, unsigned which);

    void TPageControl1Change(int index);
    void toggle_clicked(tlayer::page p, bool on);
    void box_pressed(tlayer::page p, unsigned which, Qt::MouseButton b);
    void position_pressed(unsigned position, Qt::MouseButton b);
    void count_changed(tlayer::page p, int index);
    void Edit1Exit();

    QString lng(uint32_t id, const char* def) const;
    bool eventFilter(QObject* watched, QEvent* e) override;

    params p_;
    QTabWidget* tabs_ = nullptr;
    QWidget* panel_key_matrix_list_ = nullptr;
    std::array<tab_controls, tlayer::page_count> tabs_controls_;
    keyboard_drawing matrix_;
    std::array<bool, layout::max_columns * layout::max_rows> marked_{};
    bool matrix_drawn_ = false;
    bool in_time_check_ = false;
};

} // namespace qvk
