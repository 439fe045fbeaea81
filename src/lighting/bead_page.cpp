#include "lighting/bead_page.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <algorithm>

#include "layers/kb_layout.h"
#include "lighting/ambient_texts.h"
#include "link/command_catalogue.h"
#include "link/keyboard_records.h"
#include "ui/page_host.h"
#include "ui/selector_strip.h"
#include "ui/value_bar.h"

namespace qvk {

namespace {

using namespace ambient_text;

constexpr QRgb format_cell_colour = 0x06B025;
const char* const format_names[2] = {"GRB", "RGB"};

// Design positions at scale 1.
constexpr int margin = 20;
constexpr int list_width = 360;
constexpr int right_x = margin + list_width + 20;
constexpr int right_width = 400;

} // namespace

Tbkl_user_led_editer::Tbkl_user_led_editer(page_host& host, QWidget* canvas) : keyboard_page(host), canvas_(canvas) {
    build_controls();
    apply_texts();
    fill_list();
}

Tbkl_user_led_editer::~Tbkl_user_led_editer() {
    root_.reset();
    canvas_->setMinimumSize(0, 0);
}

uint8_t* Tbkl_user_led_editer::led_state() { return host().records().lighting.data(); }

void Tbkl_user_led_editer::build_controls() {
    const float s = host().scale();
    auto at = [s](int v) { return int(float(v) * s); };
    root_ = std::make_unique<QWidget>(canvas_);
    QWidget* r = root_.get();
    auto label = [&](int i, int x, int y, int w, int h) {
        auto* l = new QLabel(r);
        l->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        l->setWordWrap(true);
        l->setGeometry(at(x), at(y), at(w), at(h));
        labels_[size_t(i)] = l;
    };
    label(0, margin, 10, list_width, 60);
    lb1_ = new QListWidget(r);
    lb1_->setObjectName(QStringLiteral("lb1"));
    lb1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lb1_->setGeometry(at(margin), at(74), at(list_width), at(420));
    QObject::connect(lb1_, &QListWidget::itemSelectionChanged, &deferred_, [this] { lb1Click(); });

    label(1, right_x, 10, right_width, 100);
    icon_data_mode_sel_ = new selector_strip(r);
    icon_data_mode_sel_->setObjectName(QStringLiteral("icon_data_mode_sel"));
    icon_data_mode_sel_->set_cells({QString::fromLatin1(format_names[0]), QString::fromLatin1(format_names[1])});
    icon_data_mode_sel_->set_cell_colour(format_cell_colour);
    icon_data_mode_sel_->place(at(right_x), at(114), at(2 * 80 + 4), at(34));
    icon_data_mode_sel_->on_select = [this](int cell) { icon_data_mode_sel_choose(unsigned(cell)); };

    label(2, right_x, 170, right_width, 80);
    percentage_bar_ = new value_bar(r);
    percentage_bar_->setObjectName(QStringLiteral("percentage_bar"));
    percentage_bar_->setGeometry(at(right_x), at(254), at(right_width), at(30));
    percentage_bar_->on_press = [this](int x) {
        brightness_from(x);
        return true;
    };
    percentage_bar_->on_drag = [this](int x) { brightness_from(x); };
    percentage_bar_->on_release = [this](Qt::MouseButton b, int) { brightness_released(b); };

    save_button_ = new QPushButton(r);
    save_button_->setObjectName(QStringLiteral("Button1"));
    save_button_->setGeometry(at(right_x), at(310), at(200), at(32));
    QObject::connect(save_button_, &QPushButton::clicked, &deferred_, [this] { Button1Click(); });

    root_->setGeometry(0, 0, at(right_x + right_width + margin), at(74 + 420 + margin));
    root_->show();
    canvas_->setMinimumSize(root_->size());
}

void Tbkl_user_led_editer::apply_texts() {
    for (size_t i = 0; i < labels_.size(); ++i) {
        const QString t = host().lng(bead_labels[i].id, bead_labels[i].text);
        labels_[i]->setText(t);
        labels_[i]->setToolTip(t);
    }
    save_button_->setText(host().lng(bead_save.id, bead_save.text));
    icon_data_mode_sel_->setToolTip(host().lng(format_strip_hint.id, format_strip_hint.text));
    percentage_bar_->setToolTip(host().lng(brightness_bar_hint.id, brightness_bar_hint.text));
    for (int i = 0; i < lb1_->count() && size_t(i) < lines_.size(); ++i) redraw_line(i);
    percentage_bar_->set_text(fill(host().lng(bead_bar.id, bead_bar.text), {int64_t(brightness_)}));
}

void Tbkl_user_led_editer::open(int) { fill_list(); }

// ---------------------------------------------------------------- the list

QString Tbkl_user_led_editer::line_text(const beads::bead_line& b) {
    return fill(host().lng(bead_line.id, bead_line.text),
                {int64_t(b.number), std::string(format_names[led::bead_rgb(led_state(), b.chain_pos) ? 1 : 0]),
                 int64_t(led::bead_brightness(led_state(), b.chain_pos))});
}

void Tbkl_user_led_editer::redraw_line(int line) { lb1_->item(line)->setText(line_text(lines_[size_t(line)])); }

void Tbkl_user_led_editer::fill_list() {
    lines_ = beads::bead_lines(host().records().kb_layout.data());
    {
        const QSignalBlocker quiet(lb1_);
        lb1_->clear();
        for (const beads::bead_line& b : lines_) lb1_->addItem(line_text(b));
    }
    save_button_->setEnabled(!lines_.empty());
    if (!lines_.empty()) {
        lb1_->setCurrentRow(0);
        lb1Click();
    }
}

std::vector<int> Tbkl_user_led_editer::selected_lines() const {
    std::vector<int> rows;
    for (const QListWidgetItem* it : lb1_->selectedItems()) rows.push_back(lb1_->row(it));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void Tbkl_user_led_editer::lb1Click() {
    const std::vector<int> rows = selected_lines();
    if (rows.size() == 1) show_bead(rows[0]);
}

// A bead beyond the chain's length keeps the bar as it was; its format is
// still shown.
void Tbkl_user_led_editer::show_bead(int line) {
    const beads::bead_line& b = lines_[size_t(line)];
    icon_data_mode_sel_->set_selected(led::bead_rgb(led_state(), b.chain_pos) ? 1 : 0);
    if (b.chain_pos >= host().records().kb_layout[layout::off_chain_length]) return;
    brightness_ = beads::shown_brightness(led_state(), b.chain_pos);
    percentage_bar_->set_fill(beads::brightness_fill(brightness_, percentage_bar_->width()));
    percentage_bar_->set_text(fill(host().lng(bead_bar.id, bead_bar.text), {int64_t(brightness_)}));
    redraw_line(line); // a corrected brightness shows on its line too
}

// ---------------------------------------------------------------- format and brightness

void Tbkl_user_led_editer::icon_data_mode_sel_choose(unsigned format) {
    const std::vector<int> rows = selected_lines();
    if (format > 1 || rows.empty()) return;
    for (int line : rows) {
        beads::set_rgb(led_state(), lines_[size_t(line)].chain_pos, format == 1);
        redraw_line(line);
    }
    icon_data_mode_sel_->set_selected(int(format));
}

void Tbkl_user_led_editer::brightness_from(int x) {
    const int w = percentage_bar_->width();
    if (x < 2 || x > w - 2) return;
    brightness_ = beads::brightness_at(x, w);
    percentage_bar_->set_fill(x - 1);
    percentage_bar_->set_text(fill(host().lng(bead_bar.id, bead_bar.text), {int64_t(brightness_)}));
}

void Tbkl_user_led_editer::brightness_released(Qt::MouseButton button) {
    if (button != Qt::LeftButton) return;
    for (int line : selected_lines()) {
        beads::set_brightness(led_state(), lines_[size_t(line)].chain_pos, brightness_);
        redraw_line(line);
    }
}

void Tbkl_user_led_editer::Button1Click() {
    host().send_block(cmd::write_beads, 0, led_state() + led::off_beads, record_size::beads, 0, true);
}

} // namespace qvk
