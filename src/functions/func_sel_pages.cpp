// The twelve pages of the function picker and the code each action writes.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <vector>

#include "functions/func_code.h"
#include "functions/func_sel.h"
#include "functions/func_sel_widgets.h"

namespace qvk {

namespace {

constexpr text_ref ok_text{4058, "确定"};
constexpr text_ref on_text{4172, "开启"};
constexpr text_ref off_text{4173, "关闭"};
constexpr const char* arrow = "--->";

// Media buttons with fixed captions and their consumer usages.
struct media_button {
    const char* caption;
    uint16_t usage;
};
constexpr media_button media_buttons[] = {
    {"VOL +", 0x00E9},    {"Next", 0x00B5},   {"Prev", 0x00B6},     {"VOL -", 0x00EA},  {"Mute", 0x00E2},
    {"Rewind", 0x00B4},   {"Forward", 0x00B3}, {"Play", 0x00CD},    {"Pause", 0x00B1},  {"Stop", 0x00B7},
    {"Computer", 0x0194}, {"Calc", 0x0192},   {"Search", 0x0221},   {"Home", 0x0223},   {"Back", 0x0224},
    {"Forward", 0x0225},  {"Refresh", 0x0227}, {"Stop", 0x0226},    {"Label", 0x022A},
};

// A button that writes one fixed code.
struct fixed_action {
    const char* name;
    text_ref text;
    uint8_t kind;
    std::optional<uint8_t> p1 = std::nullopt;
};

code_write write_of(const fixed_action& a) {
    code_write w = code_write::kind(a.kind);
    if (a.p1) w.p1(*a.p1);
    return w;
}

} // namespace

std::function<void()> Tfunc_sel::with_item(QComboBox* list, std::function<code_write(int)> make) {
    return [this, list, make] {
        if (list->currentIndex() >= 0) choose(make(list->currentIndex()));
    };
}

std::function<void()> Tfunc_sel::with_items(QComboBox* a, QComboBox* b, std::function<code_write(int, int)> make) {
    return [this, a, b, make] {
        if (a->currentIndex() >= 0 && b->currentIndex() >= 0) choose(make(a->currentIndex(), b->currentIndex()));
    };
}

namespace {
// The width of a page's scrolled button list.
int list_width(float scale) { return int(Tfunc_sel::design_width * scale) - 2 * int(10 * scale) - 8; }

// Explanation, then a row of buttons each writing a fixed code.
template <class Fn>
void fixed_row(page_builder& b, std::optional<text_ref> explanation, std::initializer_list<fixed_action> actions,
               Fn choose) {
    if (explanation) b.explain(*explanation);
    std::vector<QWidget*> buttons;
    for (const fixed_action& a : actions) {
        const code_write w = write_of(a);
        buttons.push_back(b.button(a.name, a.text, [choose, w] { choose(w); }));
    }
    b.row(buttons);
}
} // namespace

void Tfunc_sel::build_keys_page(page_builder& b) {
    auto* keyboard = new keyboard_widget(p_.scale, b.page());
    keyboard->setObjectName(QStringLiteral("keyboard"));
    keyboard->on_choose = [this](uint8_t usage) { choose_key(usage); };
    b.add(keyboard);

    QRadioButton* normal = b.radio("rb_key_normal", {4020, "常规输出"});
    rb_key_press_ = b.radio("rb_key_press", {4021, "按下按键"});
    rb_key_release_ = b.radio("rb_key_release", {4022, "弹起按键"});
    normal->setChecked(true);
    QPushButton* disable = b.button("btn_disable_key", QStringLiteral("Disable Key"),
                                    [this] { choose(code_write::kind(fk_disabled)); });
    b.row({normal, rb_key_press_, rb_key_release_, disable});

    auto* list = new button_list(list_width(p_.scale), p_.scale, b.page());
    list->setObjectName(QStringLiteral("usage_list"));
    for (int i = 0; i < usage_list_count; ++i)
        list->add(QString::fromLatin1(usage_list_caption(i)), usage_list_code(i), QStringLiteral("usage_item_%1").arg(i));
    list->on_choose = [this](int usage) { choose_key(uint8_t(usage)); };
    b.add(list, 1);

    if (macro_mode()) {
        disable->hide();
    } else {
        rb_key_press_->hide();
        rb_key_release_->hide();
    }
}

void Tfunc_sel::build_media_page(page_builder& b) {
    auto* fixed = new button_list(list_width(p_.scale), p_.scale, b.page());
    fixed->setObjectName(QStringLiteral("media_buttons"));
    for (const media_button& m : media_buttons)
        fixed->add(QString::fromLatin1(m.caption), m.usage, QStringLiteral("media_%1").arg(m.usage, 4, 16, QLatin1Char('0')));
    fixed->setFixedHeight(fixed->item(0)->height() * ((fixed->count() + 9) / 10));
    fixed->on_choose = [this](int usage) { choose_media(uint16_t(usage)); };
    b.add(fixed);

    QRadioButton* normal = b.radio("rb_media_normal", {4020, "常规输出"});
    rb_media_press_ = b.radio("rb_media_press", {4021, "按下按键"});
    rb_media_release_ = b.radio("rb_media_release", {4022, "弹起按键"});
    normal->setChecked(true);
    b.row({normal, rb_media_press_, rb_media_release_});
    if (!macro_mode()) {
        rb_media_press_->hide();
        rb_media_release_->hide();
    }

    media_list_ = new button_list(list_width(p_.scale), p_.scale, b.page());
    media_list_->setObjectName(QStringLiteral("media_list"));
    media_list_->on_choose = [this](int usage) { choose_media(uint16_t(usage)); };
    media_list_->hide(); // shown once filled on the first visit
    b.add(media_list_, 1);
}

void Tfunc_sel::build_mouse_page(page_builder& b) {
    const auto pick = [this](const code_write& w) { choose(w); };
    b.explain({4030, "模拟鼠标三个按键的点击，当被配置的按键按下时，模拟鼠标按键的按下事件，当按键弹起时，模拟鼠标按键的弹起事件。"});
    fixed_row(b, text_ref{4031, "注意：鼠标按键分按下和弹起，配置的时候，请注意不要只配置了按下或者弹起的其中一个事件，而是按下弹起两个事件都要配置。"},
              {{"btn_mouse_left", {4034, "模拟左键"}, fk_mouse_left},
               {"btn_mouse_middle", {4035, "模拟中键"}, fk_mouse_middle},
               {"btn_mouse_right", {4036, "模拟右键"}, fk_mouse_right}},
              pick);

    b.explain({4032, "模拟鼠标的滚轮滚动或者鼠标指针移动，当本功能被配置到功能层或者触发层的FN键时，具备自动连续滚动功能（按键按下一直滚动，按键弹起则停止），被配置到触发层的其他触发功能或者宏时，每触发一次，滚动/移动一次。每次触发滚动/移动的行数/像素可以自由设定：模拟滚轮滚动建议每次触发滚动1-8行之间，如果模拟鼠标移动，则建议每次移动10-20像素之间。由于蓝牙模式下的速度不如USB快，因此模拟连续指针移动时，可能会有较为明显的延迟。"});
    QComboBox* step = b.list("cb_mouse_step", number_items(1, 40));
    b.row({b.label({4033, "每次滚动的行数/移动的像素：", }), step});
    struct step_action {
        const char* name;
        text_ref text;
        uint8_t kind;
    };
    const step_action actions[] = {
        {"btn_wheel_up", {4037, "滚轮向上滚动"}, fk_wheel_up},      {"btn_wheel_down", {4038, "滚轮向下滚动"}, fk_wheel_down},
        {"btn_pointer_up", {4039, "指针上移动"}, fk_pointer_up},    {"btn_pointer_down", {4040, "指针下移动"}, fk_pointer_down},
        {"btn_pointer_left", {4041, "指针左移动"}, fk_pointer_left}, {"btn_pointer_right", {4042, "指针右移动"}, fk_pointer_right},
    };
    std::vector<QWidget*> buttons;
    for (const step_action& a : actions) {
        const uint8_t kind = a.kind;
        buttons.push_back(b.button(a.name, a.text, with_item(step, [kind](int i) {
                                       return code_write::kind(kind).p1(uint8_t(i + 1)).p2(0);
                                   })));
    }
    b.row(buttons);
    b.end();
}

void Tfunc_sel::build_layers_page(page_builder& b) {
    struct layer_row {
        const char* list;
        text_ref explanation, prompt;
        const char* button;
        uint8_t kind;
    };
    const layer_row rows[] = {
        {"cb_flayer_switch",
         {4050, "功能层切换：选择一个要切换到的层ID（0-7），当所配置的事件被触发的时候，功能层被切换到指定的层；切换到指定的层之后，并非其他层就不会被触发了，而是被切换到的层优先被触发，如果被切换到的层上，对应的按键配置为透明，则会按照0-7层的顺序继续扫描其他层上配置的触发功能，如果所有的层都被配置为透明，则键盘什么也不做。如果被切换到的层上对应的按键被禁用，或者其后的层上对应的按键被禁用，则内部的扫描器碰到被禁用的按键，则停止扫描；如果被切换到的层上配置了功能，则那个功能被执行，并忽略其后所有层的扫描。"},
         {4051, "选择将要切换到的层ID："}, "btn_flayer_switch", fk_flayer_switch},
        {"cb_flayer_enable",
         {4052, "功能层开关：开启或者关闭某个功能层，当某个功能层被关闭的时候，内部的扫描器不再扫描这个层上的所有配置；如果一个功能层被关闭，但是使用功能层切换功能切换到了这个被关闭的层上，则被关闭的层会自动开启。"},
         {4053, "选择将要开关的层ID："}, "btn_flayer_open", fk_flayer_enable},
        {"cb_flayer_toggle",
         {4054, "切换层的开关状态：当被切换的层是开启状态时，将会被关闭；当被切换的层是关闭状态时，将会被开启；每次本功能被触发，都会切换一次对应层的开启状态。"},
         {4055, "选择要切换的层ID："}, "btn_flayer_toggle", fk_flayer_toggle},
        {"cb_tlayer_switch",
         {4056, "触发层切换：选择一个触发层ID，当本事件被触发时，触发层管理器会立即切换到指定的触发层。"},
         {4057, "选择要切换的触发层ID："}, "btn_tlayer_switch", fk_tlayer_switch},
    };
    for (const layer_row& r : rows) {
        b.explain(r.explanation);
        QComboBox* layer = b.list(r.list, number_items(0, 7));
        const uint8_t kind = r.kind;
        // Opening and closing share a kind: byte 2 tells them apart.
        const auto make = [kind](uint8_t on) {
            return [kind, on](int i) {
                code_write w = code_write::kind(kind).p1(uint8_t(i));
                if (kind == fk_flayer_enable) w.p2(on);
                return w;
            };
        };
        QPushButton* ok = b.button(r.button, ok_text, with_item(layer, make(1)));
        if (kind == fk_flayer_enable)
            b.row({b.label(r.prompt), layer, ok, b.button("btn_flayer_close", {4059, "关闭"}, with_item(layer, make(0)))});
        else
            b.row({b.label(r.prompt), layer, ok});
    }
    b.end();
}

void Tfunc_sel::build_macros_page(page_builder& b) {
    b.explain({4060, "启动一组宏的运行：选择要运行的宏组编号（0-99），选择从这组宏的第几步开始运行，当对应的事件被触发时，本组会被启动并运行。"});
    // The long lists are filled on the first visit of the page.
    cb_macro_group_ = b.list("cb_macro_group", {});
    cb_macro_run_step_ = b.list("cb_macro_run_step", {});
    b.row({b.label({4061, "选择要运行的宏的组ID："}), cb_macro_group_, b.label(QString::fromLatin1(arrow)),
           cb_macro_run_step_,
           b.button("btn_macro_run", ok_text, with_items(cb_macro_group_, cb_macro_run_step_, [](int g, int s) {
                        return code_write::kind(fk_macro_run).p1(uint8_t(g)).u16_at2(uint16_t(s));
                    }))});

    fixed_row(b, text_ref{4062, "宏停止：要停止正在运行的宏，请使用本功能。"},
              {{"btn_macro_stop", {4069, "停止宏"}, fk_macro_stop}}, [this](const code_write& w) { choose(w); });

    // Macro-only rows.
    QLabel* jump_text = b.explain({4063, "宏跳转：使用本功能可以让正在执行的宏跳转到本组宏的另一步继续执行。"});
    cb_macro_jump_step_ = b.list("cb_macro_jump_step", {});
    QWidget* jump_row = b.row({b.label({4064, "选择要跳转的宏的步ID："}), cb_macro_jump_step_,
                               b.button("btn_macro_jump", {4070, "跳转"}, with_item(cb_macro_jump_step_, [](int s) {
                                            return code_write::kind(fk_macro_jump).u16_at2(uint16_t(s));
                                        }))});

    struct delay_row {
        text_ref explanation, prompt;
        const char* field;
        const char* button;
        uint8_t kind;
    };
    const delay_row delays[] = {
        {{4065, "宏延时：宏在运行时，可以延时设定的时间（时间单位是毫秒），设置范围可以在1-65535之间。"},
         {4066, "延时的时间（单位毫秒）："}, "edit_delay", "btn_delay", fk_delay},
        {{4067, "宏随机延时：宏在运行时，可以随机产生一个延时时间，随机值在0-设定的时间范围内（时间单位是毫秒），设置范围可以在1-65535之间"},
         {4068, "随机的最大范围（单位毫秒）："}, "edit_random_delay", "btn_random_delay", fk_random_delay},
    };
    std::vector<QWidget*> macro_only{jump_text, jump_row};
    for (const delay_row& d : delays) {
        macro_only.push_back(b.explain(d.explanation));
        auto* field = new QLineEdit(QStringLiteral("100"), b.page());
        field->setObjectName(QString::fromLatin1(d.field));
        field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
        field->setFixedWidth(b.px(100));
        const uint8_t kind = d.kind;
        QPushButton* ok = b.button(d.button, ok_text, [this, field, kind] {
            if (const std::optional<uint16_t> v = delay_value(field)) choose(code_write::kind(kind).u16_at1(*v));
        });
        macro_only.push_back(b.row({b.label(d.prompt), field, ok}));
    }
    if (!macro_mode())
        for (QWidget* w : macro_only) w->hide();
    b.end();
}

void Tfunc_sel::build_bluetooth_page(page_builder& b) {
    const auto pick = [this](const code_write& w) { choose(w); };
    b.explain({4080, "切换主机：蓝牙支持8个通道，每个通道对应一台配对的主机，编号0-7，本功能可以切换使用的通道，从而实现对多台配对主机的切换操作。"});
    QComboBox* channel = b.list("cb_ble_host", number_items(0, 7));
    b.row({b.label({4081, "选择要切换的通道ID："}), channel,
           b.button("btn_ble_host", ok_text, with_item(channel, [](int i) {
                        return code_write::kind(fk_ble_host).p1(uint8_t(i));
                    }))});
    fixed_row(b, text_ref{4082, "蓝牙配置恢复默认值：本功能将蓝牙的所有配置恢复默认值，包括蓝牙的MAC地址，同时会删除蓝牙的所有配对信息！请注意：执行本操作后，所有配对过的主机都要删除这个键盘的配对信息，才能再次正确配对。"},
              {{"btn_ble_reset", {4087, "恢复默认值"}, fk_ble_reset}}, pick);
    fixed_row(b, text_ref{4083, "删除配对信息：本功能将删除蓝牙的所有配对信息！请注意：执行本操作后，所有配对过的主机都要删除这个键盘的配对信息，才能再次配对。"},
              {{"btn_ble_unpair_all", {4088, "删除所有配对信息"}, fk_ble_unpair_all}}, pick);
    fixed_row(b, text_ref{4084, "重启蓝牙模块：当蓝牙模块出现故障时，可以使用本功能，强行重启模块，从而解决可能出现的问题。"},
              {{"btn_ble_restart", {4089, "重启蓝牙模块"}, fk_ble_restart}}, pick);
    fixed_row(b, text_ref{4085, "蓝牙休眠：执行本功能后，蓝牙模块立即进入休眠模式（全键盘都将进入休眠状态），直到再次被唤醒。"},
              {{"btn_ble_sleep", {4090, "蓝牙休眠"}, fk_ble_sleep}}, pick);
    fixed_row(b, text_ref{4086, "打印支持：可在一个可输入字符的位置，打印当前蓝牙已配对的主机数量、当前使用的通道ID以及当前配对的主机的MAC地址。"},
              {{"btn_ble_print_host_count", {4091, "打印已配对的主机数量"}, fk_ble_print_host_count},
               {"btn_ble_print_host_id", {4092, "打印当前使用的通道ID"}, fk_ble_print_host_id},
               {"btn_ble_print_host_mac", {4093, "打印当前通道配对的主机MAC地址"}, fk_ble_print_host_mac}},
              pick);
    b.end();
}

void Tfunc_sel::build_battery_page(page_builder& b) {
    const auto pick = [this](const code_write& w) { choose(w); };
    fixed_row(b, text_ref{4100, "立即启动一次电池电量的测量：为了节省电力，电池电压的测量并非一直在测量，系统只会在累计运行设定的时间后，才会启动一次测量并更新，本功能可以忽略这个配置，立即启动一次测量并更新。"},
              {{"btn_batt_measure", {4103, "启动测量"}, fk_batt_measure}}, pick);
    fixed_row(b, text_ref{4101, "打印支持：可以在一个可输入文本的位置打印上次测量的电池电压值，电池电量值，用于判断当前电池的状况。注意：如果开启了背光灯，那么测量值将会有较大误差，要准确的测量，请关闭所有灯光。"},
              {{"btn_batt_print_level", {4104, "打印电量值"}, fk_batt_print_level},
               {"btn_batt_print_voltage", {4105, "打印电压值"}, fk_batt_print_voltage}},
              pick);
    fixed_row(b, text_ref{4102, "重启键盘固件：有时键盘固件可能会因为不可预知的BUG或者设计缺陷而导致故障，此时可软重启键盘固件，以临时解决可能出现的问题。注意：如果键盘固件已经死机，则您必须拔除USB线（纯有线模式），或者拔除电池（双模），或者按下PCB上的复位按键或者物理开关（如果有）。"},
              {{"btn_fw_restart", {4106, "软重启键盘固件"}, fk_fw_restart}}, pick);
    b.end();
}

void Tfunc_sel::build_backlight_page(page_builder& b) {
    const auto pick = [this](const code_write& w) { choose(w); };
    const text_ref effect_prompt{4124, "选择要切换到的灯效ID："};
    fixed_row(b, text_ref{4120, "切换灯效：按顺序切换到上一个灯效或者下一个灯效。注意：如果背光是关闭的，此功能无效。"},
              {{"btn_bkl_prev", {4127, "上一个灯效"}, fk_bkl_prev}, {"btn_bkl_next", {4128, "下一个灯效"}, fk_bkl_next}},
              pick);
    fixed_row(b, text_ref{4121, "开关灯光：可开启或者关闭背光（包括氛围灯，指示灯）。注意：这是所有灯的总开关。仅在USB已连接（有线模式）或者蓝牙已连接（蓝牙模式）时，本功能才有效。注意：如果背光已开启，当连接断开时（USB或者蓝牙），灯光会自动关闭，再次连接时，会自动开启。"},
              {{"btn_bkl_on", {4129, "开启灯光"}, fk_bkl_on}, {"btn_bkl_off", {4130, "关闭灯光"}, fk_bkl_off}}, pick);
    fixed_row(b, text_ref{4122, "切换灯光开关状态：如果当前灯光是开启的，则关闭，如果是关闭的，则开启。注意：仅在USB或者蓝牙连接后，本功能才有效。"},
              {{"btn_bkl_toggle", {4131, "切换状态"}, fk_bkl_toggle}}, pick);

    // Both effect lists are filled on the first visit of the page. Without
    // any effect to offer, their buttons are disabled rather than writing an
    // effect the keyboard does not have.
    const bool have_effects = p_.bkl_effect_count > 0;
    b.explain({4123, "指定灯效：选择一个灯效的ID，当本功能被触发时，灯效将直接切换到指定的灯效。"});
    cb_bkl_effect_ = b.list("cb_bkl_effect", {});
    QPushButton* set = b.button("btn_bkl_set", ok_text, with_item(cb_bkl_effect_, [](int i) {
                                    return code_write::kind(fk_bkl_set).p1(uint8_t(i));
                                }));
    set->setEnabled(have_effects);
    b.row({b.label(effect_prompt), cb_bkl_effect_, set});

    fixed_row(b, text_ref{4125, "背光亮度调整：用于调整背光LED驱动的驱动电流，从而调整显示亮度，内部调整以每次步进10进行调整，最小0（熄灭），最大255（最亮）。注意：更高的亮度意味着更加费电，这在电池供电模式是不建议的，在电池模式下建议尽量降低亮度。"},
              {{"btn_bkl_darker", {4132, "降低亮度"}, fk_bkl_brightness, 0},
               {"btn_bkl_brighter", {4133, "提高亮度"}, fk_bkl_brightness, 1}},
              pick);
    fixed_row(b, text_ref{4126, "律动开关切换：可通过键盘打开或者关闭律动并切换灯效，前提是驱动已经运行并开启了背光功能。"},
              {{"btn_rhythm_on", {4134, "开启律动"}, fk_rhythm, 1},
               {"btn_rhythm_off", {4135, "关闭律动"}, fk_rhythm, 0},
               {"btn_rhythm_toggle", {4136, "切换开光状态"}, fk_rhythm, 2}},
              pick);
    // Present on the page but never shown: the keyboard has no such kinds.
    b.button("btn_rhythm_prev", {4137, "律动上一个灯效"}, [] {})->hide();
    b.button("btn_rhythm_next", {4138, "律动下一个灯效"}, [] {})->hide();

    b.explain({4147, "临时切换灯效：指定要切换的灯效，当恢复时，自动恢复到切换之前的灯效。"});
    cb_bkl_temp_effect_ = b.list("cb_bkl_temp_effect", {});
    QPushButton* temp = b.button("btn_bkl_temp", {4139, "临时切换"}, with_item(cb_bkl_temp_effect_, [](int i) {
                                     return code_write::kind(fk_bkl_temp).p1(0).p2(uint8_t(i));
                                 }));
    temp->setEnabled(have_effects);
    b.row({b.label(effect_prompt), cb_bkl_temp_effect_, temp,
           b.button("btn_bkl_restore", {4140, "恢复"}, [pick] { pick(code_write::kind(fk_bkl_temp).p1(1).p2(0)); })});
    fixed_row(b, std::nullopt,
              {{"btn_bkl_slower", {4141, "降低速度"}, fk_bkl_speed, 1},
               {"btn_bkl_faster", {4142, "提高速度"}, fk_bkl_speed, 0}},
              pick);
    b.end();
}

void Tfunc_sel::build_ambient_page(page_builder& b) {
    const text_ref group_prompt{4151, "要切换的氛围灯组ID："};
    struct group_row {
        text_ref explanation;
        const char* list;
        std::vector<fixed_action> actions; // p1 is taken from the list
    };
    const group_row rows[] = {
        {{4150, "切换灯效：选择一个要切换的氛围灯组（0-5），按顺序切换到上一个灯效或者下一个灯效。注意：如果背光是关闭的，此功能无效。"},
         "cb_ws_group_step",
         {{"btn_ws_prev", {4156, "上一个灯效"}, fk_ws_prev}, {"btn_ws_next", {4157, "下一个灯效"}, fk_ws_next}}},
        {{4152, "开关氛围灯灯效：可开启或者关闭氛围灯指定组的灯效。注意：仅在USB已连接（有线模式）或者蓝牙已连接（蓝牙模式）时，本功能才有效。注意：如果背光已开启，当连接断开时（USB或者蓝牙），灯光会自动关闭，再次连接时，会自动开启。"},
         "cb_ws_group_on_off",
         {{"btn_ws_on", {4158, "开启灯光"}, fk_ws_on}, {"btn_ws_off", {4159, "关闭灯光"}, fk_ws_off}}},
        {{4153, "切换氛围灯灯效开关状态：如果指定组的灯效是开启的，则关闭，如果是关闭的，则开启。注意：仅在USB或者蓝牙连接后，本功能才有效。"},
         "cb_ws_group_toggle",
         {{"btn_ws_toggle", {4160, "切换状态"}, fk_ws_toggle}}},
    };
    for (const group_row& r : rows) {
        b.explain(r.explanation);
        QComboBox* group = b.list(r.list, number_items(0, 5));
        std::vector<QWidget*> controls{b.label(group_prompt), group};
        for (const fixed_action& a : r.actions) {
            const uint8_t kind = a.kind;
            controls.push_back(b.button(a.name, a.text, with_item(group, [kind](int i) {
                                            return code_write::kind(kind).p1(uint8_t(i));
                                        })));
        }
        b.row(controls);
    }

    b.explain({4154, "指定氛围灯组使用设定的灯效：选择一个氛围灯组的ID，并指定要切换到的灯效ID，当本功能被触发时，灯效将直接切换到指定的灯效。"});
    QComboBox* group = b.list("cb_ws_group_set", number_items(0, 5));
    cb_ws_effect_ = b.list("cb_ws_effect", {}); // filled on the first visit
    QPushButton* set = b.button("btn_ws_set", ok_text, with_items(group, cb_ws_effect_, [](int g, int e) {
                                    return code_write::kind(fk_ws_set).p1(uint8_t(g)).p2(uint8_t(e));
                                }));
    set->setEnabled(p_.ws_effect_count > 0);
    b.row({b.label({4155, "选择要切换的组ID："}), group, b.label(QString::fromLatin1(arrow)), cb_ws_effect_, set});
    b.end();
}

void Tfunc_sel::build_indicator_page(page_builder& b, bool actions) {
    const QStringList names = {QStringLiteral("NUM"), QStringLiteral("CAPS"), QStringLiteral("SCROLL")};
    QComboBox* indicator = b.list(actions ? "cb_ind_action" : "cb_indicator", names);
    std::function<void()> on, off;
    if (actions) {
        b.explain({4180, "开关指示灯动作：指示灯动作可以在点亮或者熄灭某指示灯的时候，触发一个事件，利用这个事件可完成一系列功能。"});
        on = with_item(indicator, [](int i) { return code_write::kind(fk_ind_action).p1(uint8_t(i)).p2(1); });
        off = with_item(indicator, [](int i) { return code_write::kind(fk_ind_action).p1(uint8_t(i)).p2(0); });
    } else {
        b.explain({4170, "开关指示灯：可开启或者关闭指示灯指定灯的开关。注意：仅在USB已连接（有线模式）或者蓝牙已连接（蓝牙模式）时，本功能才有效。注意：如果背光已开启，当连接断开时（USB或者蓝牙），灯光会自动关闭，再次连接时，会自动开启。"});
        on = with_item(indicator, [](int i) { return code_write::kind(fk_ind_on).p1(uint8_t(i)); });
        off = with_item(indicator, [](int i) { return code_write::kind(fk_ind_off).p1(uint8_t(i)); });
    }
    const text_ref prompt = actions ? text_ref{4181, "选择要开关的指示灯动作："} : text_ref{4171, "选择要开关的指示灯："};
    b.row({b.label(prompt), indicator, b.button(actions ? "btn_ind_action_on" : "btn_ind_on", on_text, on),
           b.button(actions ? "btn_ind_action_off" : "btn_ind_off", off_text, off)});
    b.end();
}

void Tfunc_sel::build_win_lock_page(page_builder& b) {
    b.explain({4193, "锁定或者解锁WIN键：可以设定一个组合，用于锁定或者解锁WIN键的触发，锁定后，WIN键无法被触发，只有解除锁定后，才能被触发，键盘重启后，默认是允许触发的；“切换”表示如果当前是锁定的，则解除，否则就锁定。"});
    QComboBox* keys = b.list("cb_win_keys", {QStringLiteral("L_WIN"), QStringLiteral("R_WIN"),
                                             QStringLiteral("L_WIN And R_WIN")});
    // Byte 1: 0 unlock, 1 lock, 2 toggle; byte 2: 1 left, 2 right, 3 both.
    const auto lock = [this, keys](uint8_t action) {
        return with_item(keys, [action](int i) {
            return code_write::kind(fk_win_lock).p1(action).p2(uint8_t(i + 1));
        });
    };
    b.row({b.label({4194, "选择要操作的WIN键："}), keys, b.button("btn_win_toggle", {4195, "切换"}, lock(2)),
           b.button("btn_win_lock", {4196, "锁定"}, lock(1)), b.button("btn_win_unlock", {4197, "解锁"}, lock(0))});
    b.end();
}

} // namespace qvk
