#include "lighting/indicator_action_page.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cstring>

#include "functions/func_code.h"
#include "functions/func_description.h"
#include "functions/func_sel.h"
#include "lighting/indicator_page_parts.h"
#include "lighting/led_state.h"
#include "lighting/lighting_texts.h"
#include "link/command_catalogue.h"
#include "link/keyboard_records.h"
#include "ui/click_panel.h"
#include "ui/page_host.h"
#include "ui/selector_strip.h"
#include "ui/toggle_switch.h"

namespace qvk {

namespace {

namespace txt = lighting_text;

constexpr int left = 16;
constexpr int page_width = 640;
constexpr int label_height = 44;
constexpr int strip_height = 34;
constexpr int switch_width = 90;
constexpr int switch_height = 26;
constexpr int panel_height = 48;
constexpr int button_width = 140;
constexpr int button_height = 30;
constexpr int gap = 8;
constexpr QRgb strip_cell = 0x06B025;
constexpr QRgb panel_fill = 0xFF8C1A;
// Effects the ambient lights offer in the picker's lighting keys.
constexpr int ambient_effect_count = 10;

} // namespace

Tindicator_action_edit_frame::Tindicator_action_edit_frame(page_host& host, QWidget* canvas)
    : keyboard_page(host), canvas_(canvas) {
    const float s = host.scale();
    auto px = [s](int v) { return int(float(v) * s); };
    const int width = px(page_width);
    make_indicator_labels(labels_, canvas_);
    icon_indicator_select_ = make_indicator_strip(canvas_, strip_cell, [this](int i) { choose(unsigned(i)); });
    trigger_switch_ = new toggle_switch(canvas_);
    trigger_switch_->setObjectName(QStringLiteral("ToggleSwitch1"));
    QObject::connect(trigger_switch_, &QAbstractButton::clicked, trigger_switch_,
                     [this](bool on) { indicator()[indicator_action::off_switch] = on ? 1 : 0; });
    auto* p1 = new click_panel(canvas_);
    auto* p2 = new click_panel(canvas_);
    for (QLabel* p : {static_cast<QLabel*>(p1), static_cast<QLabel*>(p2)}) {
        p->setAutoFillBackground(true);
        QPalette pal = p->palette();
        pal.setColor(QPalette::Window, QColor(panel_fill));
        pal.setColor(QPalette::WindowText, Qt::white);
        p->setPalette(pal);
        QFont f = p->font();
        f.setBold(true);
        p->setFont(f);
        p->setAlignment(Qt::AlignCenter);
        p->setWordWrap(true);
    }
    p1->setObjectName(QStringLiteral("Panel1"));
    p2->setObjectName(QStringLiteral("Panel2"));
    p1->on_press = [this](Qt::MouseButton b) { panel_pressed(0, b); };
    p2->on_press = [this](Qt::MouseButton b) { panel_pressed(1, b); };
    light_up_panel_ = p1;
    go_out_panel_ = p2;
    save_button_ = new QPushButton(canvas_);
    save_button_->setObjectName(QStringLiteral("Button1"));
    QObject::connect(save_button_, &QPushButton::clicked, &deferred_, [this] { save(); });

    int y = px(gap * 2);
    auto place = [&](QWidget* w, int x, int wd, int h) {
        w->setGeometry(x, y, wd, h);
        y += h + px(gap);
    };
    place(labels_[0], px(left), width, px(label_height));
    icon_indicator_select_->place(px(left), y, px(240), px(strip_height));
    y += px(strip_height) + px(gap * 2);
    place(labels_[2], px(left), width, px(label_height));
    place(trigger_switch_, px(left), px(switch_width), px(switch_height));
    place(labels_[1], px(left), width, px(label_height));
    place(light_up_panel_, px(left), width, px(panel_height));
    place(labels_[3], px(left), width, px(label_height));
    place(go_out_panel_, px(left), width, px(panel_height));
    y += px(gap);
    place(save_button_, px(left), px(button_width), px(button_height));
    canvas_->setMinimumSize(px(left) * 2 + width, y + px(gap));
    for (QWidget* w : canvas_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) w->show();

    apply_texts();
    choose(0);
}

Tindicator_action_edit_frame::~Tindicator_action_edit_frame() {
    *alive_ = false;
    for (QLabel* l : labels_) delete l;
    delete icon_indicator_select_;
    delete trigger_switch_;
    delete light_up_panel_;
    delete go_out_panel_;
    delete save_button_;
    canvas_->setMinimumSize(0, 0);
}

uint8_t* Tindicator_action_edit_frame::indicator() {
    return host().records().indicator_actions.data() + indicator_action::record_size * current_;
}

void Tindicator_action_edit_frame::open(int) {
    icon_indicator_select_->set_selected(int(current_));
    show_indicator();
}

void Tindicator_action_edit_frame::apply_texts() {
    for (size_t i = 0; i < labels_.size(); ++i) {
        const QString t = host().lng(txt::action_labels[i].id, txt::action_labels[i].text);
        labels_[i]->setText(t);
        labels_[i]->setToolTip(t);
    }
    save_button_->setText(host().lng(txt::action_save.id, txt::action_save.text));
    show_indicator();
}

void Tindicator_action_edit_frame::close_dialogs() {
    if (open_picker_) open_picker_->reject();
}

void Tindicator_action_edit_frame::choose(unsigned i) {
    if (i >= indicator_action::count) return;
    current_ = i;
    icon_indicator_select_->set_selected(int(i));
    show_indicator();
}

void Tindicator_action_edit_frame::show_indicator() {
    const uint8_t* ind = indicator();
    auto describe = [&](size_t off) {
        return QString::fromStdString(func_code_to_desc_str(host().texts(), fc_from(ind + off), true));
    };
    light_up_panel_->setText(describe(indicator_action::off_on_code));
    go_out_panel_->setText(describe(indicator_action::off_off_code));
    trigger_switch_->setChecked(ind[indicator_action::off_switch] != 0);
}

// The panels act only while the indicator's trigger switch is on.
void Tindicator_action_edit_frame::panel_pressed(int which, Qt::MouseButton button) {
    uint8_t* ind = indicator();
    if (ind[indicator_action::off_switch] == 0) return;
    uint8_t* slot = ind + (which == 0 ? indicator_action::off_on_code : indicator_action::off_off_code);
    if (button == Qt::RightButton) {
        slot[0] = 0; // transparent: no function; the parameters stay
        show_indicator();
    } else if (button == Qt::LeftButton) {
        // The picker runs its own event loop: it opens once the click has
        // been handled.
        const unsigned i = current_;
        QTimer::singleShot(0, &deferred_, [this, i, which] { open_picker(i, which); });
    }
}

void Tindicator_action_edit_frame::open_picker(unsigned i, int which) {
    if (host().closing() || open_picker_) return;
    keyboard_records& rec = host().records();
    uint8_t* slot = rec.indicator_actions.data() + indicator_action::record_size * i +
                    (which == 0 ? indicator_action::off_on_code : indicator_action::off_off_code);
    // The picker edits a copy: the connection, and this page with it, may
    // end while it is open.
    func_code code = fc_from(slot);
    const std::shared_ptr<bool> alive = alive_;
    {
        Tfunc_sel::params p;
        p.convert = &host().texts();
        p.bkl_effect_count = rec.lighting[led::off_effect_count];
        p.ws_effect_count = ambient_effect_count;
        p.code = code.data();
        p.macro_mode = 0;
        p.scale = host().scale();
        p.dialogs = &host().dialogs();
        Tfunc_sel picker(p, host().dialog_parent());
        open_picker_ = &picker;
        picker.exec();
    }
    if (!*alive) return;
    std::memcpy(slot, code.data(), code.size());
    show_indicator();
}

void Tindicator_action_edit_frame::save() {
    host().send_block(cmd::write_indicator_actions, 0, host().records().indicator_actions.data(),
                      record_size::indicator_actions, 0, true);
}

} // namespace qvk
