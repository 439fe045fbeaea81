#pragma once
// The custom backlight page: the eight custom effect groups (each an effect
// picture number and an animation) and the editor of the picture a group
// uses, painted on a drawing of the keyboard's keys and on the bare 26 x 8
// matrix grid. Pictures are read from the keyboard when first needed; the
// group record and the picture are saved with buttons of their own.

#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <memory>
#include <string>

#include "layers/kb_layout.h"
#include "lighting/custom_backlight.h"
#include "ui/keyboard_page.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

namespace qvk {

class colour_palette;
class key_picture;
class keyboard_drawing;
class selector_strip;

class Tled_custom_editer_frame final : public keyboard_page {
public:
    // The page draws on `canvas`, the panel of its card.
    Tled_custom_editer_frame(page_host& host, QWidget* canvas);
    ~Tled_custom_editer_frame() override;

    // Shows the card; reads the current group's picture when it is unknown.
    void open(int tag) override;
    void record_arrived(uint32_t command, uint32_t sub) override;
    // A new connection's records: every picture must be read again.
    void initial_read_finished() override;
    void apply_texts() override;

    unsigned current_group() const { return group_; }
    const custom_bkl::picture_set& pictures() const { return pictures_; }
    const custom_bkl::position_selection& selection() const { return selection_; }
    selector_strip* group_strip() const { return group_strip_; }
    selector_strip* picture_strip() const { return picture_strip_; }
    colour_palette* palette() const { return palette_; }
    QWidget* matrix_panel() const { return matrix_panel_; }
    // The key image and the matrix cell of a position (null when not drawn).
    key_picture* key_at(unsigned column, unsigned row) const;
    key_picture* cell_at(unsigned column, unsigned row) const;

    // Picture number of the current group.
    unsigned current_picture();

private:
    void build_controls();
    void place_controls();
    void group_chosen(unsigned group);
    void picture_chosen(unsigned picture);
    void animation_chosen(unsigned animation);
    void show_group();
    // Draws the picture if it is known, else asks the keyboard for it.
    void need_picture(unsigned picture);
    void request_picture(unsigned picture);

    bool layout_drawable();
    void draw_keys();
    void draw_position(unsigned column, unsigned row);
    void paint_key(key_picture& k, const layout::key_entry& e);
    void draw_cell(key_picture& cell);
    QString colour_hint(uint32_t rrggbb) const;
    uint32_t shown_colour(unsigned column, unsigned row);

    class press_filter;
    void position_clicked(unsigned column, unsigned row, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void pick_position_colour(unsigned column, unsigned row);
    void swatch_clicked(int index, Qt::MouseButton button);
    void pick_swatch_colour(int index);
    void show_swatch(int index);

    void select_all();
    void invert_selection();
    void random_fill();
    void import_bmp();
    void save_group();
    void save_picture();

    QWidget* canvas_;
    std::unique_ptr<press_filter> press_filter_;
    // Every control of the page lies on this panel; it goes with the page.
    QPointer<QWidget> root_;
    QGroupBox* group_box_ = nullptr;
    QGroupBox* picture_box_ = nullptr;
    std::array<QLabel*, 3> labels_{};
    selector_strip* group_strip_ = nullptr;
    selector_strip* picture_strip_ = nullptr;
    // Indexed by animation number: RadioButton1, 3, 4, 2.
    std::array<QRadioButton*, custom_bkl::animation_count> animation_buttons_{};
    QButtonGroup* animation_group_ = nullptr;
    QPushButton* save_group_button_ = nullptr;
    QPushButton* import_button_ = nullptr;
    QPushButton* random_button_ = nullptr;
    QPushButton* save_picture_button_ = nullptr;
    QPushButton* select_all_button_ = nullptr;
    QPushButton* invert_button_ = nullptr;
    colour_palette* palette_ = nullptr;
    QWidget* matrix_panel_ = nullptr;
    std::unique_ptr<keyboard_drawing> drawing_;
    std::array<key_picture*, custom_bkl::positions> cells_{};

    int keys_top_ = 0;
    std::string colour_template_, key_template_;
    QString shown_cell_lead_, hidden_cell_lead_;

    unsigned group_ = 0;
    custom_bkl::picture_set pictures_;
    custom_bkl::position_selection selection_;
    // False once the page is gone: a dialog's event loop may outlive it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // Context of deferred calls: they are dropped with the page.
    QObject deferred_;
};

} // namespace qvk
