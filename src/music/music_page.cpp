#include "music/music_page.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "lighting/led_state.h"
#include "link/command_catalogue.h"
#include "link/keyboard_records.h"
#include "link/link_messages.h"
#include "link/packet.h"
#include "music/audio_messages.h"
#include "music/music_texts.h"
#include "music/my_audio_snap.h"
#include "ui/dialogs.h"
#include "ui/toggle_switch.h"
#include "ui/page_host.h"
#include "ui/value_bar.h"

namespace qvk {

namespace {

namespace txt = music_text;

// Design sizes at scale 1.
constexpr int left = 16;
constexpr int picture_height = 370; // a full-scale tone reaches about 320
constexpr int bar_width = 400;
constexpr int bar_height = 26;
constexpr int label_height = 40;
constexpr int gap = 8;
constexpr int switch_width = 90;
constexpr int switch_height = 26;
constexpr int button_width = 200;
constexpr int button_height = 30;

constexpr QRgb grid_colour = 0x054F05;
constexpr QRgb grid_text_colour = 0x446403;
constexpr QRgb bar_colour = 0x0080FF;
constexpr QRgb peak_colour = 0xFFFF00;
constexpr int grid_lines = 6;
constexpr int restart_interval_ms = 3000;

const char* const setting_names[Tmusic_spectrum_frame::setting_tag_count] = {
    "ui_spec_gain_adj",          "ui_spec_top_line_hold_time_adj", "ui_spec_top_line_down_pix_adj",
    "ui_spec_band_bar_down_pix", "kb_spec_vu_level_gain_adj",      "kb_spec_gain_adj"};

// Range of each setting bar by Tag.
constexpr music::bar_range setting_ranges[Tmusic_spectrum_frame::setting_tag_count] = {
    {50, 2000}, {100, 1000}, {2, 12}, {4, 20}, {10, 1000}, {30, 2000}};
// Gains are shown in thousandths as "%0.3f", the others as whole numbers.
constexpr bool shown_as_thousandths[Tmusic_spectrum_frame::setting_tag_count] = {true, false, false,
                                                                                 false, true, true};

class snap_event final : public QEvent {
public:
    snap_event(uintptr_t wparam, unsigned generation)
        : QEvent(static_cast<QEvent::Type>(msg::audio_snap)), wparam(wparam), generation(generation) {}
    const uintptr_t wparam;
    const unsigned generation;
};
static_assert(msg::audio_snap > QEvent::User, "the capture's message must lie in the user event range");

} // namespace

// The capture's messages arrive here, on the window thread.
class Tmusic_spectrum_frame::snap_events final : public QObject {
public:
    explicit snap_events(Tmusic_spectrum_frame* page) : page_(page) {}
    bool event(QEvent* e) override {
        if (e->type() != static_cast<QEvent::Type>(msg::audio_snap)) return QObject::event(e);
        const auto* m = static_cast<snap_event*>(e);
        page_->snap_message(m->wparam, m->generation);
        return true;
    }

private:
    Tmusic_spectrum_frame* page_;
};

// Posts a capture's messages, marked with its generation; called from the
// capture's threads.
class Tmusic_spectrum_frame::snap_sink final : public link_message_sink {
public:
    snap_sink(QObject* target, unsigned generation) : target_(target), generation_(generation) {}
    void post_message(uint32_t message, uintptr_t wparam, intptr_t) override {
        if (message == msg::audio_snap) QCoreApplication::postEvent(target_, new snap_event(wparam, generation_));
    }

private:
    QObject* target_;
    unsigned generation_;
};

Tmusic_spectrum_frame::Tmusic_spectrum_frame(page_host& host, QWidget* canvas)
    : keyboard_page(host), canvas_(canvas), scale_(host.scale()), events_(std::make_unique<snap_events>(this)) {
    auto px = [this](int v) { return int(float(v) * scale_); };
    for (size_t i = 0; i < labels_.size(); ++i) {
        labels_[i] = new QLabel(canvas_);
        labels_[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        labels_[i]->setWordWrap(true);
    }
    rhythm_switch_ = new toggle_switch(canvas_);
    rhythm_switch_->setObjectName(QStringLiteral("ToggleSwitch1"));
    QObject::connect(rhythm_switch_, &QAbstractButton::clicked, rhythm_switch_, [this](bool on) { switch_clicked(on); });
    spectrum_picture_ = new QLabel(canvas_);
    spectrum_picture_->setObjectName(QStringLiteral("pb1"));
    for (int t = 0; t < setting_tag_count; ++t) {
        auto* b = new value_bar(canvas_);
        b->setObjectName(QString::fromLatin1(setting_names[t]));
        b->on_press = [this, t](int x) { return setting_press(t, x); };
        b->on_drag = [this, t](int x) { setting_drag(t, x); };
        b->on_release = [this, t](Qt::MouseButton button, int x) { setting_release(t, button, x); };
        setting_bars_[size_t(t)] = b;
    }
    previous_button_ = new QPushButton(canvas_);
    previous_button_->setObjectName(QStringLiteral("Button1"));
    QObject::connect(previous_button_, &QPushButton::clicked, previous_button_, [this] { send(type_step, 0); });
    next_button_ = new QPushButton(canvas_);
    next_button_->setObjectName(QStringLiteral("Button2"));
    QObject::connect(next_button_, &QPushButton::clicked, next_button_, [this] { send(type_step, 1); });
    timer_top_point_down_ = new QTimer(canvas_);
    timer_top_point_down_->setObjectName(QStringLiteral("timer_top_point_down"));
    timer_top_point_down_->setInterval(music::tick_ms);
    timer_top_point_down_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_top_point_down_, &QTimer::timeout, timer_top_point_down_,
                     [this] { timer_top_point_downTimer(); });
    timer_re_start_snap_ = new QTimer(canvas_);
    timer_re_start_snap_->setObjectName(QStringLiteral("timer_re_start_snap"));
    timer_re_start_snap_->setInterval(restart_interval_ms);
    QObject::connect(timer_re_start_snap_, &QTimer::timeout, timer_re_start_snap_,
                     [this] { timer_re_start_snapTimer(); });

    // Top to bottom: switch, spectrum, the six setting bars, the buttons.
    const int picture_width = int(scale_ * 800 + 200 + 1);
    int y = px(gap);
    labels_[0]->setGeometry(px(left), y, picture_width, px(label_height));
    y += px(label_height);
    rhythm_switch_->setGeometry(px(left), y, px(switch_width), px(switch_height));
    y += px(switch_height) + px(gap);
    spectrum_picture_->setGeometry(px(left), y, picture_width, px(picture_height));
    y += px(picture_height) + px(gap);
    for (int t = 0; t < setting_tag_count; ++t) {
        labels_[size_t(t + 1)]->setGeometry(px(left), y, picture_width, px(label_height));
        y += px(label_height);
        setting_bars_[size_t(t)]->setGeometry(px(left), y, px(bar_width), px(bar_height));
        y += px(bar_height) + px(gap);
    }
    previous_button_->setGeometry(px(left), y, px(button_width), px(button_height));
    next_button_->setGeometry(px(left + button_width + gap), y, px(button_width), px(button_height));
    y += px(button_height) + px(gap);
    canvas_->setMinimumSize(px(left) * 2 + picture_width, y);
    for (QWidget* w : {static_cast<QWidget*>(rhythm_switch_), static_cast<QWidget*>(spectrum_picture_),
                       static_cast<QWidget*>(previous_button_), static_cast<QWidget*>(next_button_)})
        w->show();
    for (QLabel* l : labels_) l->show();
    for (value_bar* b : setting_bars_) b->show();

    settings_ = music::load_display_settings(settings_path());
    draw_background();
    picture_ = background_;
    spectrum_picture_->setPixmap(QPixmap::fromImage(picture_));
    for (int t = 0; t < setting_tag_count; ++t) draw_setting(t);
    apply_texts();
}

Tmusic_spectrum_frame::~Tmusic_spectrum_frame() {
    // The capture's threads end before anything they post to goes.
    capture_.reset();
    sink_.reset();
    delete timer_top_point_down_;
    delete timer_re_start_snap_;
    for (QLabel* l : labels_) delete l;
    delete rhythm_switch_;
    delete spectrum_picture_;
    for (value_bar* b : setting_bars_) delete b;
    delete previous_button_;
    delete next_button_;
    canvas_->setMinimumSize(0, 0);
}

uint8_t* Tmusic_spectrum_frame::led() { return host().records().lighting.data(); }
bool Tmusic_spectrum_frame::master_on() { return led::master_on(led()); }

std::string Tmusic_spectrum_frame::settings_path() const {
    return host().exe_dir() + "/" + music::display_settings_file;
}

void Tmusic_spectrum_frame::open(int) {
    for (int t = 0; t < setting_tag_count; ++t) draw_setting(t);
}

void Tmusic_spectrum_frame::apply_texts() {
    for (size_t i = 0; i < labels_.size(); ++i) {
        const QString t = host().lng(txt::labels[i].id, txt::labels[i].text);
        labels_[i]->setText(t);
        labels_[i]->setToolTip(t);
    }
    previous_button_->setText(host().lng(txt::previous_effect.id, txt::previous_effect.text));
    next_button_->setText(host().lng(txt::next_effect.id, txt::next_effect.text));
}

void Tmusic_spectrum_frame::record_arrived(uint32_t command, uint32_t sub) {
    if (command == cmd::rhythm_state) {
        // The keyboard switches the rhythm off (0), on (1) or over (2).
        if (sub == 0) set_switch(false);
        if (sub == 1) set_switch(true);
        if (sub == 2) set_switch(!rhythm_switch_->isChecked());
    } else if (command == cmd::bkl_master_switch && !master_on()) {
        set_switch(false);
    }
}

// ---------------------------------------------------------------- switch, start and stop

void Tmusic_spectrum_frame::set_switch(bool on) {
    rhythm_switch_->setChecked(on);
    switch_clicked(on);
}

void Tmusic_spectrum_frame::switch_clicked(bool on) {
    if (!master_on()) {
        rhythm_switch_->setChecked(false);
        stop();
        return;
    }
    if (on)
        start();
    else
        stop();
}

bool Tmusic_spectrum_frame::start_capture() {
    ++generation_;
    auto sink = std::make_unique<snap_sink>(events_.get(), generation_);
    auto capture = std::make_unique<music::my_audio_snap>(*sink, packet::read_u16(led() + led::off_vu_gain));
    if (!capture->start()) return false;
    // The previous sink is no longer posted to: its capture is gone.
    sink_ = std::move(sink);
    capture_ = std::move(capture);
    device_id_ = capture_->device_id();
    timer_top_point_down_->start();
    timer_re_start_snap_->stop();
    return true;
}

void Tmusic_spectrum_frame::start() {
    if (capture_) return;
    if (start_capture()) return;
    device_id_.clear();
    timer_re_start_snap_->stop();
    rhythm_switch_->setChecked(false);
    host().dialogs().show_message(host().lng(txt::start_failed.id, txt::start_failed.text));
}

void Tmusic_spectrum_frame::stop() {
    timer_top_point_down_->stop();
    timer_re_start_snap_->stop();
    device_id_.clear();
    capture_.reset();
    meter_.clear();
    picture_ = background_;
    spectrum_picture_->setPixmap(QPixmap::fromImage(picture_));
}

void Tmusic_spectrum_frame::timer_re_start_snapTimer() {
    if (capture_) return;
    start_capture();
}

void Tmusic_spectrum_frame::snap_message(uintptr_t wparam, unsigned generation) {
    if (!capture_ || generation != generation_) return;
    if (wparam == audio_result::spectrum_ready) {
        meter_.take(capture_->spectrum());
    } else if (wparam == audio_result::device_gone) {
        stop();
        timer_re_start_snap_->start();
    }
}

void Tmusic_spectrum_frame::check_default_device() {
    music::my_audio_snap probe(*sink_, 0);
    if (!probe.query_default_device() || probe.device_id() == device_id_) return;
    stop();
    timer_re_start_snap_->start();
}

// ---------------------------------------------------------------- the 20 ms tick

void Tmusic_spectrum_frame::timer_top_point_downTimer() {
    if (!capture_) return;
    // The rhythm runs only while the lights are on, whoever switched them off.
    if (!master_on()) {
        set_switch(false);
        return;
    }
    const music::spectrum_meter::tick_result r = meter_.tick(settings_);
    if (r.check_device) {
        check_default_device();
        if (!capture_) return;
    }
    if (r.send_frame) send_frame();
    if (host().in_tray()) return;
    draw_spectrum();
}

void Tmusic_spectrum_frame::send_frame() {
    const music::rhythm_frame f = meter_.frame(packet::read_u16(led() + led::off_rhythm_gain));
    if (!stream_allowed(led(), host().link_kind())) return;
    host().send_stream(cmd::spectrum_frame, f.data(), uint32_t(f.size()));
}

void Tmusic_spectrum_frame::send(int type, uint32_t value) {
    switch (type) {
    case type_frame: send_frame(); break;
    case type_gains:
        host().send_command(cmd::rhythm_gains, 0, packet::read_u16(led() + led::off_vu_gain),
                            packet::read_u16(led() + led::off_rhythm_gain), 0, true);
        break;
    case type_step:
        if (rhythm_switch_->isChecked()) host().send_command(cmd::rhythm_step, uint8_t(value), 0, 0, 0, true);
        break;
    default: break;
    }
}

// ---------------------------------------------------------------- drawing

void Tmusic_spectrum_frame::draw_background() {
    const int w = spectrum_picture_->width(), h = spectrum_picture_->height();
    background_ = QImage(w, h, QImage::Format_RGB32);
    background_.fill(Qt::black);
    QPainter p(&background_);
    const int step = h / 7 + 1;
    for (int k = 1; k <= grid_lines; ++k) {
        const int y = h - k * step;
        p.setPen(QColor(grid_colour));
        p.drawLine(2, y, w - 2, y);
        p.setPen(QColor(grid_text_colour));
        const QString label = QStringLiteral("%1dB").arg(60 - 10 * k);
        p.drawText(QRect(0, y - step / 2, w - 2, step), Qt::AlignRight | Qt::AlignVCenter, label);
    }
}

void Tmusic_spectrum_frame::draw_spectrum() {
    meter_.rise(settings_, scale_);
    picture_ = background_;
    QPainter p(&picture_);
    const int h = picture_.height();
    const int w = int(scale_ * 4);
    const int mark = int(scale_ * 4);
    for (unsigned i = 0; i < music::bar_count; ++i) {
        const music::spectrum_bar& b = meter_.bars()[i];
        const int x = int(i) * (w + 1) + 1;
        if (b.height > 0) p.fillRect(x, h - 1 - b.height, w, b.height, QColor(bar_colour));
        if (mark > 0) {
            p.setPen(QColor(peak_colour));
            p.drawLine(x, h - b.peak, x + mark - 1, h - b.peak);
        }
    }
    p.end();
    spectrum_picture_->setPixmap(QPixmap::fromImage(picture_));
}

// ---------------------------------------------------------------- setting bars

int Tmusic_spectrum_frame::setting_value(int tag) {
    if (tag == tag_vu_gain) return packet::read_u16(led() + led::off_vu_gain);
    if (tag == tag_rhythm_gain) return packet::read_u16(led() + led::off_rhythm_gain);
    return settings_[size_t(tag)];
}

void Tmusic_spectrum_frame::store_setting(int tag, int value) {
    if (tag == tag_vu_gain) {
        packet::write_u16(led() + led::off_vu_gain, uint16_t(value));
        if (capture_) capture_->set_vu_gain(uint16_t(value));
    } else if (tag == tag_rhythm_gain) {
        packet::write_u16(led() + led::off_rhythm_gain, uint16_t(value));
    } else {
        settings_[size_t(tag)] = value;
    }
}

static QString setting_text(int tag, int value) {
    if (shown_as_thousandths[tag]) return QString::asprintf("%0.3f", double(value) / 1000.0);
    return QString::number(value);
}

void Tmusic_spectrum_frame::draw_setting(int tag) {
    value_bar* bar = setting_bars_[size_t(tag)];
    const int v = setting_value(tag);
    bar->set_fill(setting_ranges[tag].fill(v, bar->width()));
    bar->set_text(setting_text(tag, v));
}

bool Tmusic_spectrum_frame::setting_press(int tag, int x) {
    if (!rhythm_switch_->isChecked()) return false;
    if (x <= setting_bars_[size_t(tag)]->width() - 2) setting_set(tag, x);
    return true;
}

void Tmusic_spectrum_frame::setting_drag(int tag, int x) {
    if (x <= setting_bars_[size_t(tag)]->width() - 2) setting_set(tag, x);
}

void Tmusic_spectrum_frame::setting_set(int tag, int x) {
    value_bar* bar = setting_bars_[size_t(tag)];
    const std::optional<int> v = setting_ranges[tag].value_at(x, bar->width());
    if (!v) return;
    store_setting(tag, *v);
    bar->set_fill(x - 2);
    bar->set_text(setting_text(tag, *v));
}

void Tmusic_spectrum_frame::setting_release(int tag, Qt::MouseButton button, int x) {
    const int w = setting_bars_[size_t(tag)]->width();
    if (button != Qt::LeftButton || x < 2 || x > w - 2) return;
    setting_set(tag, x);
    if (tag == tag_vu_gain || tag == tag_rhythm_gain)
        send(type_gains, 0);
    else
        music::save_display_setting(settings_path(), music::display_setting(tag), settings_[size_t(tag)]);
}

} // namespace qvk
