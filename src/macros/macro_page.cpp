#include "macros/macro_page.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cstring>

#include "common/text_format.h"
#include "functions/func_sel.h"
#include "functions/key_code_convert.h"
#include "link/command_catalogue.h"
#include "link/keyboard_records.h"
#include "macros/macro_file.h"
#include "macros/macro_step_model.h"
#include "macros/macro_str_edit.h"
#include "ui/dialogs.h"
#include "ui/page_host.h"

namespace qvk {

namespace {

// Effects the ambient lights offer in the picker's lighting keys.
constexpr int ambient_effect_count = 10;
constexpr int page_margin = 16;

const char* const macro_file_filter = "macro cfg file(*.macro);;all file(*.*)";

struct page_text {
    uint32_t id;
    const char* text;
};
constexpr page_text text_wrong_size{1600, "文件大小错误！"};
constexpr page_text text_read_error{1601, "文件读取错误！"};
constexpr page_text text_bad_magic{1602, "无法识别的硬件配置文件！"};
constexpr page_text text_group_label{1603, "当前编辑的组："};
constexpr page_text text_read_button{1604, "从键盘读取"};
constexpr page_text text_save_button{1605, "保存到键盘"};
constexpr page_text text_save_file_button{1606, "另存为文件"};
constexpr page_text text_load_file_button{1607, "从文件加载"};
constexpr page_text text_blank{1608, "删除所选，并保持空白"};
constexpr page_text text_delete{1609, "删除所选，其后的前移填补空白"};
constexpr page_text text_insert{1610, "插入一步宏"};
constexpr page_text text_insert_text{1611, "在当前位置插入要模拟输出的字符串"};
constexpr page_text text_push_off_caption{1612, "警告"};
constexpr page_text text_push_off{1613, "插入后，本组末尾的%u个非空步将被挤出本组并丢失。确定要插入吗？"};

// Design geometry at scale 1.
struct box {
    int x, y, w, h;
};
constexpr box label_box{16, 22, 112, 21};
constexpr box group_box{130, 18, 80, 25};
constexpr box first_button_box{236, 16, 120, 28};
constexpr int button_step = 130;
constexpr box list_box{16, 64, 825, 705};
constexpr int step_column_width = 55;
constexpr int action_column_width = 700;

} // namespace

// ---------------------------------------------------------------- frame

Tmacro_edit_frame::Tmacro_edit_frame(QWidget* parent, float scale, const key_code_convert& texts)
    : QWidget(parent), model_(std::make_unique<macro_step_model>(texts)) {
    setObjectName(QStringLiteral("macro_edit_frame"));
    auto px = [scale](int v) { return int(float(v) * scale); };
    auto place = [&](QWidget* w, const box& b, int dx = 0) { w->setGeometry(px(b.x + dx), px(b.y), px(b.w), px(b.h)); };

    group_label_ = new QLabel(this);
    group_label_->setObjectName(QStringLiteral("Label1"));
    place(group_label_, label_box);
    cb_macro_group_select_ = new QComboBox(this);
    cb_macro_group_select_->setObjectName(QStringLiteral("cb_macro_group_select"));
    for (unsigned g = 0; g < record_size::macro_group_count; ++g) cb_macro_group_select_->addItem(QString::number(g));
    cb_macro_group_select_->setMaxVisibleItems(16);
    place(cb_macro_group_select_, group_box);
    QPushButton** buttons[] = {&read_button_, &save_button_, &save_file_button_, &load_file_button_};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QPushButton(this);
        b->setObjectName(QStringLiteral("Button%1").arg(i + 1));
        place(b, first_button_box, button_step * i);
        *buttons[i] = b;
    }

    lv1_ = new QTableView(this);
    lv1_->setObjectName(QStringLiteral("lv1"));
    place(lv1_, list_box);
    lv1_->setModel(model_.get());
    lv1_->setShowGrid(true);
    lv1_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lv1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lv1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lv1_->setWordWrap(false);
    lv1_->verticalHeader()->hide();
    // Every row is one line high: the view then never measures rows.
    lv1_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lv1_->verticalHeader()->setDefaultSectionSize(lv1_->fontMetrics().height() + px(6));
    lv1_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    lv1_->setColumnWidth(macro_step_model::col_step, px(step_column_width));
    lv1_->setColumnWidth(macro_step_model::col_action, px(action_column_width));
    lv1_->setContextMenuPolicy(Qt::CustomContextMenu);

    macro_menu_ = new QMenu(this);
    macro_menu_->setObjectName(QStringLiteral("macro_menu"));
    QAction** items[] = {&N1_, &N3_, &N2_, &N4_};
    const char* const names[] = {"N1", "N3", "N2", "N4"};
    for (int i = 0; i < 4; ++i) {
        *items[i] = macro_menu_->addAction(QString());
        (*items[i])->setObjectName(QString::fromLatin1(names[i]));
    }
    connect(lv1_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { macro_menu_->popup(lv1_->viewport()->mapToGlobal(at)); });

    resize(px(list_box.x + list_box.w + page_margin), px(list_box.y + list_box.h + page_margin));
}

Tmacro_edit_frame::~Tmacro_edit_frame() {
    // The view lets go of the model before the model goes.
    lv1_->setModel(nullptr);
}

std::vector<size_t> Tmacro_edit_frame::selected_rows() const {
    std::vector<size_t> rows;
    for (const QModelIndex& i : lv1_->selectionModel()->selectedRows()) rows.push_back(size_t(i.row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

int Tmacro_edit_frame::first_selected_row() const {
    const std::vector<size_t> rows = selected_rows();
    return rows.empty() ? -1 : int(rows.front());
}

// ---------------------------------------------------------------- page

macro_page::macro_page(page_host& host, QWidget* panel) : keyboard_page(host), panel_(panel) {
    frame_ = std::make_unique<Tmacro_edit_frame>(panel, host.scale(), host.texts());
    Tmacro_edit_frame& f = *frame_;
    f.steps()->set_group(&group());
    apply_texts();
    panel_->setMinimumSize(f.size());
    f.show();

    QObject::connect(f.group_select(), &QComboBox::currentIndexChanged, &deferred_,
                     [this](int) { frame_->steps()->set_group(&group()); });
    QObject::connect(f.read_button(), &QPushButton::clicked, &deferred_, [this] { read_group(); });
    QObject::connect(f.save_button(), &QPushButton::clicked, &deferred_, [this] { save_group(); });
    QObject::connect(f.save_file_button(), &QPushButton::clicked, &deferred_, [this] { save_group_file(); });
    QObject::connect(f.load_file_button(), &QPushButton::clicked, &deferred_, [this] { load_group_file(); });
    QObject::connect(f.blank_action(), &QAction::triggered, &deferred_, [this] { blank_selection(); });
    QObject::connect(f.delete_action(), &QAction::triggered, &deferred_, [this] { delete_selection(); });
    QObject::connect(f.insert_action(), &QAction::triggered, &deferred_, [this] { insert_step(); });
    QObject::connect(f.insert_text_action(), &QAction::triggered, &deferred_, [this] { insert_text(); });
    QObject::connect(f.step_list(), &QAbstractItemView::doubleClicked, &deferred_, [this] { edit_step(); });
}

macro_page::~macro_page() {
    *alive_ = false;
    frame_.reset();
    panel_->setMinimumSize(0, 0);
}

unsigned macro_page::selected_group() const {
    const int i = frame_->group_select()->currentIndex();
    return i >= 0 && unsigned(i) < record_size::macro_group_count ? unsigned(i) : 0;
}

macro_group& macro_page::group() { return host().records().macros[selected_group()]; }

void macro_page::open(int) { frame_->steps()->refresh(); }

// A group read from the keyboard is stored by the window; the list shows it
// when it is the selected one (another group changes in memory only).
void macro_page::record_arrived(uint32_t command, uint32_t sub) {
    if (command == cmd::read_macro && sub == selected_group()) frame_->steps()->refresh();
}

void macro_page::apply_texts() {
    Tmacro_edit_frame& f = *frame_;
    auto t = [this](const page_text& p) { return host().lng(p.id, p.text); };
    f.group_label()->setText(t(text_group_label));
    f.group_label()->setToolTip(t(text_group_label));
    f.read_button()->setText(t(text_read_button));
    f.save_button()->setText(t(text_save_button));
    f.save_file_button()->setText(t(text_save_file_button));
    f.load_file_button()->setText(t(text_load_file_button));
    f.blank_action()->setText(t(text_blank));
    f.delete_action()->setText(t(text_delete));
    f.insert_action()->setText(t(text_insert));
    f.insert_text_action()->setText(t(text_insert_text));
    // The descriptions are texts too.
    f.steps()->refresh();
}

void macro_page::close_dialogs() {
    if (open_dialog_) open_dialog_->reject();
    frame_->step_menu()->close();
}

// ---------------------------------------------------------------- transfer and files

void macro_page::read_group() {
    host().send_command(cmd::read_macro, uint8_t(selected_group()), 0, 0, 1, true);
}

void macro_page::save_group() {
    host().send_block(cmd::write_macro, uint8_t(selected_group()), group().data(), record_size::macro_group, 0, true);
}

void macro_page::save_group_file() {
    dialog_service& dialogs = host().dialogs();
    const std::shared_ptr<bool> alive = alive_;
    const QString path = dialogs.save_file_name(QStringLiteral("set a file name..."),
                                                QString::fromLatin1(macro_file_filter), QStringLiteral("macro"));
    // A dialog's event loop may end the connection, and this page with it.
    if (path.isEmpty() || !*alive) return;
    switch (save_macro_file(path.toStdString(), group())) {
    case layer_file_result::create_failed:
        dialogs.show_message(QStringLiteral("file[") + path + QStringLiteral("]create fail！"));
        break;
    case layer_file_result::write_failed: dialogs.show_message(QStringLiteral("file write fail！")); break;
    default: break;
    }
}

void macro_page::load_group_file() {
    dialog_service& dialogs = host().dialogs();
    const std::shared_ptr<bool> alive = alive_;
    const QString path =
        dialogs.open_file_name(QStringLiteral("choice a macro cfg file..."), QString::fromLatin1(macro_file_filter));
    if (path.isEmpty() || !*alive) return;
    switch (load_macro_file(path.toStdString(), group())) {
    case layer_file_result::ok: frame_->steps()->refresh(); break;
    case layer_file_result::open_failed:
        dialogs.show_message(QStringLiteral("file：") + path + QStringLiteral("open fail！"));
        break;
    case layer_file_result::wrong_size: dialogs.show_message(host().lng(text_wrong_size.id, text_wrong_size.text)); break;
    case layer_file_result::read_failed: dialogs.show_message(host().lng(text_read_error.id, text_read_error.text)); break;
    case layer_file_result::bad_magic: dialogs.show_message(host().lng(text_bad_magic.id, text_bad_magic.text)); break;
    default: break;
    }
}

// ---------------------------------------------------------------- list menu

void macro_page::blank_selection() {
    macro::blank_steps(group(), frame_->selected_rows());
    frame_->steps()->refresh();
}

void macro_page::delete_selection() {
    macro::delete_steps(group(), frame_->selected_rows());
    frame_->steps()->refresh();
}

bool macro_page::may_insert(size_t row, size_t count) {
    const size_t lost = macro::steps_pushed_off(group(), row, count);
    if (lost == 0) return true;
    const std::shared_ptr<bool> alive = alive_;
    const std::string question = format_template(
        host().lng(text_push_off.id, text_push_off.text).toStdString(), {int64_t(lost)});
    const bool yes = host().dialogs().ask_yes_no(host().lng(text_push_off_caption.id, text_push_off_caption.text),
                                                 QString::fromStdString(question));
    return yes && *alive;
}

void macro_page::insert_step() {
    const int row = frame_->first_selected_row();
    if (row < 0 || !may_insert(size_t(row), 1)) return;
    macro::insert_steps(group(), size_t(row), 1);
    frame_->steps()->refresh();
}

// The text dialog and the picker run their own event loops; they open once
// the menu item or the double click has been handled.
void macro_page::insert_text() {
    const int row = frame_->first_selected_row();
    if (row < 0) return;
    const unsigned g = selected_group();
    QTimer::singleShot(0, &deferred_, [this, g, row] { open_text_dialog(g, row); });
}

void macro_page::edit_step() {
    const int row = frame_->first_selected_row();
    if (row < 0) return;
    const unsigned g = selected_group();
    QTimer::singleShot(0, &deferred_, [this, g, row] { open_step_picker(g, row); });
}

void macro_page::open_text_dialog(unsigned g, int row) {
    if (host().closing() || open_dialog_ || g != selected_group()) return;
    const std::shared_ptr<bool> alive = alive_;
    macro_steps result;
    {
        Tmacro_str_edit dlg(result, size_t(row), host().texts(), host().dialogs(), host().scale(),
                            host().dialog_parent());
        open_dialog_ = &dlg;
        dlg.exec();
    }
    if (!*alive || result.count == 0 || !may_insert(size_t(row), result.count)) return;
    macro_text::insert(group(), size_t(row), result);
    frame_->steps()->refresh();
}

void macro_page::open_step_picker(unsigned g, int row) {
    if (host().closing() || open_dialog_ || g != selected_group()) return;
    keyboard_records& rec = host().records();
    // The picker edits a copy: the page may go while it is open, and a
    // picker closed without a choice writes nothing.
    func_code code = macro::step_code(rec.macros[g], size_t(row));
    const std::shared_ptr<bool> alive = alive_;
    bool chosen = false;
    {
        Tfunc_sel::params p;
        p.convert = &host().texts();
        p.bkl_effect_count = rec.lighting[0];
        p.ws_effect_count = ambient_effect_count;
        p.code = code.data();
        p.macro_mode = 1;
        p.scale = host().scale();
        p.dialogs = &host().dialogs();
        Tfunc_sel picker(p, host().dialog_parent());
        open_dialog_ = &picker;
        chosen = picker.exec() == QDialog::Accepted;
    }
    if (!*alive || !chosen) return;
    std::memcpy(macro::step_bytes(rec.macros[g], size_t(row)), code.data(), code.size());
    frame_->steps()->refresh_row(row);
}

} // namespace qvk
