#include "lighting/custom_backlight_page.h"

#include <QButtonGroup>
#include <QMouseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "common/text_format.h"
#include "layers/kb_layout.h"
#include "lighting/led_state.h"
#include "lighting/lighting_texts.h"
#include "lighting/picture_import.h"
#include "link/command_catalogue.h"
#include "link/keyboard_records.h"
#include "ui/colour_swatch.h"
#include "ui/dialogs.h"
#include "ui/key_picture.h"
#include "ui/keyboard_drawing.h"
#include "ui/page_host.h"
#include "ui/selector_strip.h"

namespace qvk {

namespace {

using namespace custom_bkl;

using page_text = lighting_text::text_id;

constexpr page_text group_box_text{1000, "自定义灯效组"};
constexpr page_text picture_box_text{1001, "灯效图编辑"};
constexpr page_text label_texts[3] = {
    {1002, "自定义灯效组：可定义最多8组自定义灯效（编号0-7），每组灯效可选择一张BMP图片或自己编辑，作为灯效图。"},
    {1003, "图片ID：选择一张图片作为本组的灯效图，最多有32张灯效图可选（编号0-31），当本组产生灯效时，使用这个灯效图。"},
    {1004, "当前组使用的灯效：可以选择一个产生灯效的算法，算法将以当前选择的图片作为基础并在此基础上产生灯效。"},
};
// By animation number: static, scroll left, scroll right, breathing.
constexpr page_text animation_texts[animation_count] = {
    {1005, "仅静态显示，无灯效"}, {1007, "向左滚动"}, {1008, "向右滚动"}, {1006, "呼吸灯"}};
constexpr const char* animation_button_names[animation_count] = {"RadioButton1", "RadioButton3", "RadioButton4",
                                                                  "RadioButton2"};
constexpr page_text save_group_text{1009, "保存本组到键盘"};
constexpr page_text import_text{1010, "载入BMP图片"};
constexpr page_text random_text{1011, "所有按键颜色随机"};
constexpr page_text save_picture_text{1012, "图片保存到键盘"};
constexpr page_text select_all_text{1013, "全选"};
constexpr page_text invert_text{1014, "反选"};
constexpr page_text colour_hint_text{1015, "颜色分量值：R=%u,G=%u,B=%u \r 十六进制值：0x%02X%02X%02X"};
constexpr page_text key_hint_text{1016, "按键编号:%u\r颜色分量值：R=%u,G=%u,B=%u \r十六进制值：0x%02X%02X%02X"};
constexpr page_text shown_cell_text{1017, "正常显示此图标\r"};
constexpr page_text hidden_cell_text{1018, "此图标被隐藏，不会显示\r"};
// The chosen file is no picture the tool can read.
constexpr page_text unreadable_picture_text{1019, "无法读取图片文件：%s\r灯效图没有改变。"};

const char* const bmp_filter = "BMP Picture Files(*.bmp)";
const char* const bmp_caption = "Select a bmp Picture File...";

constexpr QRgb group_cell_colour = 0x506425;
constexpr QRgb frame_colour = 0x267397;
constexpr QRgb selected_frame = 0xFF0000;
constexpr QRgb hidden_frame = 0xBCBCBC;
constexpr int key_frame_selected = 6;
constexpr int cell_frame_wide = 5;
constexpr int matrix_cell_side = 19;
constexpr int swatch_count = 14;

// Design geometry at scale 1.
constexpr QRect group_box_rect{8, 8, 560, 300};
constexpr QRect label_rects[3] = {{10, 18, 540, 34}, {10, 88, 540, 34}, {10, 180, 540, 34}};
constexpr QRect group_strip_rect{10, 54, 540, 28};
constexpr QRect picture_strip_rect{10, 124, 540, 50};
constexpr int radio_top = 218, radio_left = 10, radio_step = 135, radio_width = 130, radio_height = 22;
constexpr QRect save_group_rect{10, 256, 170, 30};
constexpr QRect matrix_rect{576, 8, 500, 164};
constexpr QRect picture_box_rect{576, 178, 500, 130};
// Two rows of buttons: select all, invert, random; load BMP, save picture.
constexpr int button_top = 20, button_left = 10, button_step_x = 160, button_step_y = 36, button_width = 156,
              button_height = 30, buttons_per_row = 3;
constexpr QPoint palette_at{10, 96};
constexpr int swatch_side = 26, swatch_gap = 6;
constexpr int canvas_margin = 12;

// Tool tips break lines at '\n'; the texts use '\r'.
QString hint_lines(QString s) {
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

std::vector<format_value> colour_values(uint32_t c) {
    const int64_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    return {r, g, b, r, g, b};
}

// A key image or matrix cell: filled with its colour inside a frame.
void paint_position(QImage& image, QSize size, uint32_t fill, QRgb frame, int frame_width) {
    if (image.size() != size) image = QImage(size, QImage::Format_RGB32);
    image.fill(QColor(frame));
    const int w = std::min(frame_width, std::min(size.width(), size.height()) / 2);
    QPainter p(&image);
    p.fillRect(QRect(w, w, size.width() - 2 * w, size.height() - 2 * w), QColor(QRgb(fill)));
}

size_t slot(unsigned column, unsigned row) { return size_t(column) * rows + row; }

// The lighting pages draw keys and light-only positions.
bool shows_light(const layout::key_entry& e) {
    return e.kind == layout::entry_key || e.kind == layout::entry_light_only;
}

} // namespace

// Hands the page each press on a key image or matrix cell with the keys
// held at the time (Ctrl adds to the selection).
class Tled_custom_editer_frame::press_filter final : public QObject {
public:
    explicit press_filter(Tled_custom_editer_frame& page) : page_(page) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress) return false;
        const auto* k = static_cast<const key_picture*>(watched);
        const auto* e = static_cast<const QMouseEvent*>(event);
        page_.position_clicked(k->column(), k->row(), e->button(), e->modifiers());
        return true;
    }

private:
    Tled_custom_editer_frame& page_;
};

namespace {

QRect scaled(const QRect& r, float s) {
    return QRect(int(float(r.x()) * s), int(float(r.y()) * s), int(float(r.width()) * s), int(float(r.height()) * s));
}

} // namespace

Tled_custom_editer_frame::Tled_custom_editer_frame(page_host& host, QWidget* canvas)
    : keyboard_page(host), canvas_(canvas), press_filter_(std::make_unique<press_filter>(*this)) {
    build_controls();
    palette_->randomise();
    apply_texts();
    show_group();
    draw_keys();
}

Tled_custom_editer_frame::~Tled_custom_editer_frame() {
    *alive_ = false;
    drawing_.reset();
    delete root_.data();
    canvas_->setMinimumSize(0, 0);
}

// ---------------------------------------------------------------- controls

void Tled_custom_editer_frame::build_controls() {
    root_ = new QWidget(canvas_);
    root_->setObjectName(QStringLiteral("custom_backlight_page"));
    group_box_ = new QGroupBox(root_);
    group_box_->setObjectName(QStringLiteral("GroupBox1"));
    picture_box_ = new QGroupBox(root_);
    picture_box_->setObjectName(QStringLiteral("GroupBox2"));
    for (int i = 0; i < 3; ++i) {
        labels_[size_t(i)] = new QLabel(group_box_);
        labels_[size_t(i)]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        labels_[size_t(i)]->setWordWrap(true);
    }

    group_strip_ = new selector_strip(group_box_);
    group_strip_->setObjectName(QStringLiteral("icon_group_list"));
    QStringList groups;
    for (unsigned g = 0; g < group_count; ++g) groups << QString::number(g);
    group_strip_->set_cells(groups);
    group_strip_->set_cell_colour(group_cell_colour);
    group_strip_->on_select = [this](int cell) { group_chosen(unsigned(cell)); };

    picture_strip_ = new selector_strip(group_box_);
    picture_strip_->setObjectName(QStringLiteral("icon_group_pic_sel"));
    QStringList numbers;
    for (unsigned p = 0; p < picture_count; ++p) numbers << QString::number(p);
    picture_strip_->set_cells(numbers, selector_strip::arrangement::two_rows);
    picture_strip_->on_select = [this](int cell) { picture_chosen(unsigned(cell)); };

    animation_group_ = new QButtonGroup(root_);
    for (unsigned a = 0; a < animation_count; ++a) {
        auto* b = new QRadioButton(group_box_);
        b->setObjectName(QString::fromLatin1(animation_button_names[a]));
        animation_group_->addButton(b, int(a));
        animation_buttons_[a] = b;
    }
    QObject::connect(animation_group_, &QButtonGroup::idClicked, &deferred_,
                     [this](int id) { animation_chosen(unsigned(id)); });

    auto button = [this](QWidget* parent, const char* name, void (Tled_custom_editer_frame::*act)()) {
        auto* b = new QPushButton(parent);
        b->setObjectName(QString::fromLatin1(name));
        QObject::connect(b, &QPushButton::clicked, &deferred_, [this, act] { (this->*act)(); });
        return b;
    };
    save_group_button_ = button(group_box_, "Button7", &Tled_custom_editer_frame::save_group);
    select_all_button_ = button(picture_box_, "Button5", &Tled_custom_editer_frame::select_all);
    invert_button_ = button(picture_box_, "Button6", &Tled_custom_editer_frame::invert_selection);
    random_button_ = button(picture_box_, "Button4", &Tled_custom_editer_frame::random_fill);
    import_button_ = button(picture_box_, "Button3", &Tled_custom_editer_frame::import_bmp);
    save_picture_button_ = button(picture_box_, "Button1", &Tled_custom_editer_frame::save_picture);

    const float s = host().scale();
    palette_ = new colour_palette(swatch_count, int(float(swatch_side) * s), int(float(swatch_gap) * s), picture_box_);
    palette_->on_click = [this](int i, Qt::MouseButton b) { swatch_clicked(i, b); };

    matrix_panel_ = new QWidget(root_);
    matrix_panel_->setObjectName(QStringLiteral("led_logic_matrix_list"));
    drawing_ = std::make_unique<keyboard_drawing>(root_, shows_light);
    drawing_->set_layout(host().records().kb_layout.data());
    drawing_->set_paint([this](key_picture& k, const layout::key_entry& e) { paint_key(k, e); });
    place_controls();
    root_->show();
}

void Tled_custom_editer_frame::place_controls() {
    const float s = host().scale();
    group_box_->setGeometry(scaled(group_box_rect, s));
    for (int i = 0; i < 3; ++i) labels_[size_t(i)]->setGeometry(scaled(label_rects[i], s));
    const QRect gs = scaled(group_strip_rect, s), ps = scaled(picture_strip_rect, s);
    group_strip_->place(gs.x(), gs.y(), gs.width(), gs.height());
    picture_strip_->place(ps.x(), ps.y(), ps.width(), ps.height());
    for (unsigned a = 0; a < animation_count; ++a)
        animation_buttons_[a]->setGeometry(
            scaled(QRect(radio_left + radio_step * int(a), radio_top, radio_width, radio_height), s));
    save_group_button_->setGeometry(scaled(save_group_rect, s));
    matrix_panel_->setGeometry(scaled(matrix_rect, s));
    picture_box_->setGeometry(scaled(picture_box_rect, s));
    QPushButton* row[] = {select_all_button_, invert_button_, random_button_, import_button_, save_picture_button_};
    for (int i = 0; i < 5; ++i)
        row[i]->setGeometry(scaled(QRect(button_left + button_step_x * (i % buttons_per_row),
                                         button_top + button_step_y * (i / buttons_per_row), button_width,
                                         button_height),
                                   s));
    palette_->move(int(float(palette_at.x()) * s), int(float(palette_at.y()) * s));
    // Keys are drawn from the bottom edge of the first swatch down.
    const colour_swatch* first = palette_->swatch(0);
    keys_top_ = first->mapTo(root_.data(), QPoint(0, first->height())).y();
    root_->setGeometry(0, 0, canvas_->width(), canvas_->height());
}

void Tled_custom_editer_frame::apply_texts() {
    // The hint templates are looked up once: a random fill redraws every
    // position with them.
    colour_template_ = host().lng(colour_hint_text.id, colour_hint_text.text).toStdString();
    key_template_ = host().lng(key_hint_text.id, key_hint_text.text).toStdString();
    shown_cell_lead_ = hint_lines(host().lng(shown_cell_text.id, shown_cell_text.text));
    hidden_cell_lead_ = hint_lines(host().lng(hidden_cell_text.id, hidden_cell_text.text));
    group_box_->setTitle(host().lng(group_box_text.id, group_box_text.text));
    picture_box_->setTitle(host().lng(picture_box_text.id, picture_box_text.text));
    for (int i = 0; i < 3; ++i) {
        const QString t = host().lng(label_texts[i].id, label_texts[i].text);
        labels_[size_t(i)]->setText(t);
        labels_[size_t(i)]->setToolTip(t);
    }
    for (unsigned a = 0; a < animation_count; ++a)
        animation_buttons_[a]->setText(host().lng(animation_texts[a].id, animation_texts[a].text));
    save_group_button_->setText(host().lng(save_group_text.id, save_group_text.text));
    import_button_->setText(host().lng(import_text.id, import_text.text));
    random_button_->setText(host().lng(random_text.id, random_text.text));
    save_picture_button_->setText(host().lng(save_picture_text.id, save_picture_text.text));
    select_all_button_->setText(host().lng(select_all_text.id, select_all_text.text));
    invert_button_->setText(host().lng(invert_text.id, invert_text.text));
    for (int i = 0; i < swatch_count; ++i) show_swatch(i);
    draw_keys();
}

QString Tled_custom_editer_frame::colour_hint(uint32_t c) const {
    return hint_lines(QString::fromStdString(format_template(colour_template_, colour_values(c))));
}

// ---------------------------------------------------------------- groups and pictures

void Tled_custom_editer_frame::open(int) { need_picture(current_picture()); }

unsigned Tled_custom_editer_frame::current_picture() {
    const uint8_t* g = led::custom_group(host().records().lighting.data(), group_);
    return g ? picture_of(g[led::cg_off_mode]) : 0;
}

void Tled_custom_editer_frame::group_chosen(unsigned group) {
    if (group >= group_count) return;
    group_ = group;
    show_group();
    need_picture(current_picture());
}

void Tled_custom_editer_frame::picture_chosen(unsigned picture) {
    uint8_t* g = led::custom_group(host().records().lighting.data(), group_);
    if (!g || picture >= picture_count || picture == current_picture()) return;
    // Only the page's copy of the group changes; "save this group" sends it.
    g[led::cg_off_mode] = with_picture(g[led::cg_off_mode], picture);
    picture_strip_->set_selected(int(picture));
    need_picture(picture);
}

void Tled_custom_editer_frame::animation_chosen(unsigned animation) {
    uint8_t* g = led::custom_group(host().records().lighting.data(), group_);
    if (g && animation < animation_count) g[led::cg_off_mode] = with_animation(g[led::cg_off_mode], animation);
}

void Tled_custom_editer_frame::show_group() {
    group_strip_->set_selected(int(group_));
    picture_strip_->set_selected(int(current_picture()));
    const uint8_t* g = led::custom_group(host().records().lighting.data(), group_);
    // Animations the page does not know (4..7) leave the buttons alone.
    const unsigned a = g ? animation_of(g[led::cg_off_mode]) : 0;
    if (a < animation_count) animation_buttons_[a]->setChecked(true);
}

void Tled_custom_editer_frame::need_picture(unsigned picture) {
    // A picture not yet received is drawn black until it arrives, not in the
    // colours of the one shown before.
    draw_keys();
    if (!pictures_.loaded(picture)) request_picture(picture);
}

void Tled_custom_editer_frame::request_picture(unsigned picture) {
    host().send_command(cmd::read_custom_picture, uint8_t(picture), 0, 0, 1, true);
}

void Tled_custom_editer_frame::record_arrived(uint32_t command, uint32_t sub) {
    if (command != cmd::read_custom_picture || sub >= picture_count) return;
    const keyboard_records& rec = host().records();
    if (rec.custom_picture_number != sub) return;
    pictures_.store_reply(sub, rec.custom_picture.data());
    draw_keys();
}

void Tled_custom_editer_frame::initial_read_finished() {
    // The keyboard may have changed while it was away: its pictures and
    // groups are read anew.
    pictures_.forget_all();
    if (group_ >= group_count) group_ = 0;
    show_group();
    draw_keys();
}

// ---------------------------------------------------------------- drawing

bool Tled_custom_editer_frame::layout_drawable() {
    const uint8_t* l = host().records().kb_layout.data();
    const unsigned c = l[layout::off_columns], r = l[layout::off_rows];
    return layout::present(l) && c != 0 && r != 0 && c <= columns && r <= rows && layout::key_lights_present(l);
}

uint32_t Tled_custom_editer_frame::shown_colour(unsigned column, unsigned row) {
    const unsigned p = current_picture();
    return pictures_.loaded(p) ? pictures_.picture(p).at(column, row) : 0;
}

key_picture* Tled_custom_editer_frame::key_at(unsigned column, unsigned row) const {
    return drawing_->picture_at(column, row);
}

key_picture* Tled_custom_editer_frame::cell_at(unsigned column, unsigned row) const {
    return column < columns && row < rows ? cells_[slot(column, row)] : nullptr;
}

void Tled_custom_editer_frame::draw_keys() {
    if (!root_) return;
    const bool drawable = layout_drawable();
    const uint8_t* l = host().records().kb_layout.data();
    const unsigned used_columns = drawable ? layout::columns(l) : 0, used_rows = drawable ? layout::rows(l) : 0;
    // Keys lie from the bottom edge of the first swatch down.
    drawing_->set_scale(host().scale());
    drawing_->set_origin(QPoint(0, keys_top_));
    if (drawable) drawing_->draw_all();
    else drawing_->hide_all();
    for (unsigned c = 0; c < columns; ++c)
        for (unsigned r = 0; r < rows; ++r) {
            const bool inside = c < used_columns && r < used_rows;
            key_picture*& cell = cells_[slot(c, r)];
            if (!inside && cell) {
                delete cell;
                cell = nullptr;
            } else if (inside && !cell) {
                cell = new key_picture(c, r, matrix_panel_);
                cell->setObjectName(QStringLiteral("cell_%1_%2").arg(c).arg(r));
                cell->installEventFilter(press_filter_.get());
            }
            if (cell) draw_cell(*cell);
        }
    const QSize keys = drawing_->extent();
    const QSize need(std::max({group_box_->geometry().right(), picture_box_->geometry().right(), keys.width() - 1}) + 1,
                     std::max({group_box_->geometry().bottom(), picture_box_->geometry().bottom(), keys.height() - 1}) + 1);
    canvas_->setMinimumSize(need + QSize(canvas_margin, canvas_margin));
    root_->resize(need + QSize(canvas_margin, canvas_margin));
}

void Tled_custom_editer_frame::draw_position(unsigned column, unsigned row) {
    if (key_picture* k = key_at(column, row); k && !k->isHidden()) drawing_->draw_key(column, row);
    if (key_picture* cell = cell_at(column, row)) draw_cell(*cell);
}

void Tled_custom_editer_frame::paint_key(key_picture& k, const layout::key_entry& e) {
    const uint32_t colour = shown_colour(k.column(), k.row());
    const bool selected = selection_.selected(k.column(), k.row());
    paint_position(k.image(), k.size(), colour, selected ? selected_frame : frame_colour,
                   selected ? key_frame_selected : 1);
    std::vector<format_value> values{int64_t(e.key_id)};
    for (const format_value& v : colour_values(colour)) values.push_back(v);
    k.setToolTip(hint_lines(QString::fromStdString(format_template(key_template_, values))));
    // Presses reach the page with the keys held (Ctrl adds to the selection).
    k.installEventFilter(press_filter_.get());
}

void Tled_custom_editer_frame::draw_cell(key_picture& cell) {
    const unsigned column = cell.column(), row = cell.row();
    const uint8_t* l = host().records().kb_layout.data();
    const layout::key_entry e = layout::read_key_entry(l, column, row);
    const uint32_t colour = shown_colour(column, row);
    const bool selected = selection_.selected(column, row);
    const int side = int(float(matrix_cell_side) * host().scale());
    const QSize panel = matrix_panel_->size();
    cell.setGeometry(side * int(column) + (panel.width() - side * int(layout::columns(l))) / 2,
                     side * int(row) + (panel.height() - side * int(layout::rows(l))) / 2, side, side);
    const bool lit_key = shows_light(e);
    const QRgb frame = !lit_key ? hidden_frame : selected ? selected_frame : frame_colour;
    paint_position(cell.image(), cell.size(), colour, frame, !lit_key || selected ? cell_frame_wide : 1);
    cell.setToolTip((lit_key ? shown_cell_lead_ : hidden_cell_lead_) + colour_hint(colour));
    cell.show();
    cell.update();
}

// ---------------------------------------------------------------- painting

void Tled_custom_editer_frame::position_clicked(unsigned column, unsigned row, Qt::MouseButton button,
                                                Qt::KeyboardModifiers modifiers) {
    if (button == Qt::RightButton) {
        // The colour dialog runs its own event loop: it opens once the click
        // has been handled, so that nothing the loop does can pull the key
        // away under the click.
        QTimer::singleShot(0, &deferred_, [this, column, row] { pick_position_colour(column, row); });
        return;
    }
    if (button != Qt::LeftButton) return;
    if (modifiers & Qt::ControlModifier) {
        selection_.toggle(column, row);
        draw_position(column, row);
        return;
    }
    const custom_bkl::position_selection before = selection_;
    selection_.select_only(column, row);
    for (unsigned c = 0; c < columns; ++c)
        for (unsigned r = 0; r < rows; ++r)
            if (before.selected(c, r) != selection_.selected(c, r)) draw_position(c, r);
}

void Tled_custom_editer_frame::pick_position_colour(unsigned column, unsigned row) {
    if (host().closing()) return;
    const std::shared_ptr<bool> alive = alive_;
    const unsigned p = current_picture();
    const auto chosen = host().dialogs().pick_colour(QColor(QRgb(shown_colour(column, row))));
    if (!*alive || !chosen || p != current_picture()) return;
    pictures_.picture(p).set(column, row, chosen->rgb() & 0xFFFFFF);
    draw_position(column, row);
}

void Tled_custom_editer_frame::swatch_clicked(int index, Qt::MouseButton button) {
    colour_swatch* sw = palette_->swatch(index);
    if (!sw) return;
    switch (button) {
    case Qt::LeftButton: {
        effect_picture& pic = pictures_.picture(current_picture());
        for (unsigned c = 0; c < columns; ++c)
            for (unsigned r = 0; r < rows; ++r)
                if (selection_.selected(c, r)) {
                    pic.set(c, r, sw->colour());
                    draw_position(c, r);
                }
        break;
    }
    case Qt::RightButton:
        QTimer::singleShot(0, &deferred_, [this, index] { pick_swatch_colour(index); });
        return;
    case Qt::MiddleButton:
        palette_->randomise();
        for (int i = 0; i < swatch_count; ++i) show_swatch(i);
        break;
    default: break;
    }
    show_swatch(index);
}

void Tled_custom_editer_frame::pick_swatch_colour(int index) {
    if (host().closing()) return;
    const std::shared_ptr<bool> alive = alive_;
    colour_swatch* sw = palette_->swatch(index);
    if (!sw) return;
    const auto chosen = host().dialogs().pick_colour(QColor(sw->colour()));
    if (!*alive) return;
    if (chosen) sw->set_colour(chosen->rgb() & 0xFFFFFF);
    show_swatch(index);
}

void Tled_custom_editer_frame::show_swatch(int index) {
    if (colour_swatch* sw = palette_->swatch(index)) {
        sw->setToolTip(colour_hint(sw->colour()));
        sw->update();
    }
}

void Tled_custom_editer_frame::select_all() {
    selection_.select_all();
    draw_keys();
}

void Tled_custom_editer_frame::invert_selection() {
    selection_.invert();
    draw_keys();
}

void Tled_custom_editer_frame::random_fill() {
    pictures_.picture(current_picture()).fill_random();
    draw_keys();
}

void Tled_custom_editer_frame::import_bmp() {
    const uint8_t* l = host().records().kb_layout.data();
    if (layout::columns(l) == 0 || layout::rows(l) == 0) return;
    dialog_service& dialogs = host().dialogs();
    const std::shared_ptr<bool> alive = alive_;
    const QString path = dialogs.open_file_name(QString::fromLatin1(bmp_caption),
                                                QString::fromLatin1(bmp_filter));
    if (!*alive || path.isEmpty()) return;
    const auto picture = import_picture_file(path);
    if (!picture) {
        // Nothing changes: the picture keeps the colours it had.
        dialogs.show_message(hint_lines(lighting_text::fill(
            host().lng(unreadable_picture_text.id, unreadable_picture_text.text), {path.toStdString()})));
        return;
    }
    pictures_.picture(current_picture()) = *picture;
    draw_keys();
}

// ---------------------------------------------------------------- saving

void Tled_custom_editer_frame::save_group() {
    const settings_block b = make_settings_block(host().records().lighting.data(), group_);
    host().send_block(cmd::custom_bkl_settings, 0, b.data(), uint32_t(b.size()), 0, true);
}

void Tled_custom_editer_frame::save_picture() {
    const unsigned p = current_picture();
    const auto data = pictures_.picture(p).encode();
    host().send_block(cmd::write_custom_data, uint8_t(p), data.data(), uint32_t(data.size()), 0, true);
}

} // namespace qvk
