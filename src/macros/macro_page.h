#pragma once
// The macro editor page: one of the 100 macro groups at a time as a list of
// its 512 steps. Steps are edited through the function picker in macro mode
// (double click), deleted and inserted through the list's menu, typed in as
// text, and the group is read from or saved to the keyboard or a .macro
// file. Everything edits the window's copy of the group; only Save sends.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "macros/macro_group.h"
#include "ui/keyboard_page.h"

class QAction;
class QComboBox;
class QDialog;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;

namespace qvk {

class key_code_convert;
class macro_step_model;

// The controls of the page, placed at their design positions times the
// screen scale.
class Tmacro_edit_frame final : public QWidget {
    Q_OBJECT
public:
    Tmacro_edit_frame(QWidget* parent, float scale, const key_code_convert& texts);
    ~Tmacro_edit_frame() override;

    QLabel* group_label() const { return group_label_; }
    QComboBox* group_select() const { return cb_macro_group_select_; }
    QPushButton* read_button() const { return read_button_; }
    QPushButton* save_button() const { return save_button_; }
    QPushButton* save_file_button() const { return save_file_button_; }
    QPushButton* load_file_button() const { return load_file_button_; }
    QTableView* step_list() const { return lv1_; }
    macro_step_model* steps() const { return model_.get(); }
    QMenu* step_menu() const { return macro_menu_; }
    QAction* blank_action() const { return N1_; }
    QAction* delete_action() const { return N3_; }
    QAction* insert_action() const { return N2_; }
    QAction* insert_text_action() const { return N4_; }

    // The selected rows in increasing order; the first one (-1: none).
    std::vector<size_t> selected_rows() const;
    int first_selected_row() const;

private:
    QLabel* group_label_ = nullptr;
    QComboBox* cb_macro_group_select_ = nullptr;
    QPushButton* read_button_ = nullptr;
    QPushButton* save_button_ = nullptr;
    QPushButton* save_file_button_ = nullptr;
    QPushButton* load_file_button_ = nullptr;
    QTableView* lv1_ = nullptr;
    std::unique_ptr<macro_step_model> model_;
    QMenu* macro_menu_ = nullptr;
    QAction* N1_ = nullptr;
    QAction* N3_ = nullptr;
    QAction* N2_ = nullptr;
    QAction* N4_ = nullptr;
};

class macro_page final : public keyboard_page {
public:
    // The page's controls go on `panel`, the macro card's panel.
    macro_page(page_host& host, QWidget* panel);
    ~macro_page() override;

    void open(int tag) override;
    void record_arrived(uint32_t command, uint32_t sub) override;
    void apply_texts() override;
    void close_dialogs() override;

    Tmacro_edit_frame* frame() const { return frame_.get(); }
    unsigned selected_group() const;

    // The buttons.
    void read_group();
    void save_group();
    void save_group_file();
    void load_group_file();
    // The menu items N1, N3, N2, N4.
    void blank_selection();
    void delete_selection();
    void insert_step();
    void insert_text();
    // Double click: the picker on the first selected row.
    void edit_step();

private:
    macro_group& group();
    // Inserting `count` steps at `row` loses the non-empty steps pushed off
    // the end of the group: the user says whether to go on.
    bool may_insert(size_t row, size_t count);
    void open_step_picker(unsigned group, int row);
    void open_text_dialog(unsigned group, int row);

    QWidget* panel_;
    std::unique_ptr<Tmacro_edit_frame> frame_;
    // The picker or the text dialog while one is open.
    QPointer<QDialog> open_dialog_;
    // False once the page is gone: a dialog's event loop may outlive it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // Context of deferred calls: they are dropped with the page.
    QObject deferred_;
};

} // namespace qvk
