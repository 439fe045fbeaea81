#include "app/main_form.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/busy_indicator.h"
#include "app/device_list.h"
#include "app/ui_batt_disp.h"
#include "app/link_event.h"
#include "app/nav_menu.h"
#include "app/skins.h"
#include "functions/key_code_convert.h"
#include "link/link_kind.h"

namespace qvk {

namespace {

constexpr int design_width = 1241;
constexpr int design_height = 867;
constexpr int min_width = 1024;
constexpr int min_height = 560;
constexpr int title_height = 49;
constexpr int menu_open_width = 150;
constexpr int menu_compact_width = 40;
constexpr int skin_reconnect_ms = 500;
constexpr int battery_width = 64;
constexpr QRgb title_colour = 0x1464BE;

// A page's scroll box: the wheel moves it by one line per notch.
class page_scroll_box final : public QScrollArea {
public:
    using QScrollArea::QScrollArea;

protected:
    void wheelEvent(QWheelEvent* e) override {
        const int delta = e->angleDelta().y();
        if (delta == 0) return QScrollArea::wheelEvent(e);
        verticalScrollBar()->triggerAction(delta < 0 ? QAbstractSlider::SliderSingleStepAdd
                                                     : QAbstractSlider::SliderSingleStepSub);
        e->accept();
    }
};

// A label that reports clicks (the menu image of the title bar).
class clickable_label final : public QLabel {
public:
    std::function<void()> on_click;
    using QLabel::QLabel;

protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton && on_click) on_click();
    }
};

QPixmap menu_picture(int size, QColor colour) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, size / 10.0, Qt::SolidLine, Qt::RoundCap));
    for (int i = 1; i <= 3; ++i) {
        const qreal y = size * i / 4.0;
        p.drawLine(QPointF(size * 0.18, y), QPointF(size * 0.82, y));
    }
    return pm;
}

QIcon keyboard_icon() {
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(title_colour));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 14, 60, 36), 6, 6);
    p.setBrush(Qt::white);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 6; ++c) p.drawRect(QRectF(7 + c * 9, 19 + r * 9, 6, 6));
    return QIcon(pm);
}

} // namespace

Tmain_form::Tmain_form(options opts, QWidget* parent)
    : QMainWindow(parent), opts_(std::move(opts)), settings_(opts_.exe_dir) {
    if (!opts_.bus) opts_.bus = std::make_shared<device_bus>();
    sink_ = std::make_unique<qt_link_sink>(this);
    own_dialogs_ = std::make_unique<qt_dialog_service>(this);
    dialogs_ = opts_.dialogs ? opts_.dialogs : own_dialogs_.get();

    QApplication::setApplicationName(QString::fromUtf8(app_title));
    setWindowTitle(QString::fromUtf8(app_title) + QStringLiteral("--->([!Disconnected])"));
    setWindowIcon(keyboard_icon());
    resize(design_width, design_height);
    setMinimumSize(min_width, min_height);

    timer_detect_hid_device_ = new QTimer(this);
    timer_detect_hid_device_->setObjectName(QStringLiteral("timer_detect_hid_device"));
    connect(timer_detect_hid_device_, &QTimer::timeout, this, &Tmain_form::timer_detect_hid_deviceTimer);
    timer_skin_change_re_conn_device_ = new QTimer(this);
    timer_skin_change_re_conn_device_->setInterval(skin_reconnect_ms);
    connect(timer_skin_change_re_conn_device_, &QTimer::timeout, this,
            &Tmain_form::timer_skin_change_re_conn_deviceTimer);
    timer_probe_timeout_ = new QTimer(this);
    timer_probe_timeout_->setSingleShot(true);
    connect(timer_probe_timeout_, &QTimer::timeout, this, &Tmain_form::on_probe_timeout);
    records_ = std::make_unique<keyboard_records>();

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    setCentralWidget(central);
    build_title_bar();
    outer->addWidget(title_panel_);
    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    outer->addLayout(body, 1);
    build_menu();
    body->addWidget(menu_panel_);
    build_cards();
    body->addWidget(card_panel_, 1);
    build_tray();

    FormCreate();
}

Tmain_form::~Tmain_form() { FormClose(); }

// ---------------------------------------------------------------- building

void Tmain_form::build_title_bar() {
    title_panel_ = new QWidget(this);
    title_panel_->setObjectName(QStringLiteral("Panel_Title"));
    title_panel_->setFixedHeight(title_height);
    title_panel_->setAutoFillBackground(true);
    title_panel_->installEventFilter(this);

    auto* img = new clickable_label(title_panel_);
    img->setObjectName(QStringLiteral("imgMenu"));
    img->setGeometry(18, 11, 32, 32);
    img->setCursor(Qt::PointingHandCursor);
    img->on_click = [this] { toggle_menu(); };
    menu_image_ = img;

    activity_indicator_ = new busy_indicator(title_panel_);
    activity_indicator_->setObjectName(QStringLiteral("ai_busy"));
    activity_indicator_->setGeometry(56, 11, 28, 28);

    page_label_ = new QLabel(title_panel_);
    page_label_->setObjectName(QStringLiteral("Label_currect_page_lable"));
    page_label_->setAlignment(Qt::AlignCenter);
    QFont f = page_label_->font();
    f.setPixelSize(19);
    f.setBold(true);
    page_label_->setFont(f);
    page_label_->setToolTip(QString::fromUtf8(text_page_current_hint));

    skin_combo_ = new QComboBox(title_panel_);
    skin_combo_->setObjectName(QStringLiteral("cb_skin_select"));
    skin_combo_->setMaxVisibleItems(16);
    skin_combo_->setMinimumWidth(170);
    skin_combo_->adjustSize();
    connect(skin_combo_, &QComboBox::currentIndexChanged, this, [this] { cb_skin_selectChange(); });

}

void Tmain_form::build_menu() {
    menu_panel_ = new QWidget(this);
    menu_panel_->setObjectName(QStringLiteral("sv1"));
    menu_panel_->setFixedWidth(menu_open_width);
    auto* lay = new QVBoxLayout(menu_panel_);
    lay->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(menu_panel_);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    // The wheel scrolls a long menu; a scroll bar would eat the compact menu.
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    nav_menu_ = new nav_menu;
    nav_menu_->setObjectName(QStringLiteral("cat_main_menu"));
    scroll->setWidget(nav_menu_);
    lay->addWidget(scroll);

    QList<QAction*> all;
    for (int i = 0; i < nav_action_count; ++i) {
        const nav_action_def& d = nav_actions[i];
        auto* a = new QAction(QString::fromUtf8(d.caption), this);
        a->setObjectName(QString::fromLatin1(d.name));
        a->setData(d.tag);
        if (d.hint_id >= 0) a->setToolTip(QString::fromUtf8(d.hint));
        connect(a, &QAction::triggered, this, [this, a] { run_action(a); });
        actions_[a->objectName()] = a;
        action_defs_[a] = &d;
        all << a;
    }
    for (int c = 0; c < nav_category_count; ++c) {
        const nav_category_def& d = nav_categories[c];
        const QList<QAction*> members = all.mid(d.first_action, d.action_count);
        for (QAction* a : members)
            a->setIcon(letter_icon(QString::fromUtf8(action_defs_.at(a)->glyph), QColor(d.colour)));
        nav_menu_->add_category(QString::fromUtf8(d.caption), QColor(d.colour), d.expanded, members);
    }
}

void Tmain_form::build_cards() {
    card_panel_ = new QStackedWidget(this);
    card_panel_->setObjectName(QStringLiteral("cp_1"));
    static const char* const card_names[card_count] = {
        "c_device_list", "c_device_config", "c_flayer_edit", "c_tlayer_edit", "c_bkl_lig_edit",
        "c_bkl_custom_edit", "c_bkl_ws_edit", "c_bkl_indicator_edit", "c_bkl_user_led_edit",
        "c_indicator_edit", "c_music_spectrum", "c_macro_edit", "c_kb_mgr", "c_driver_cfg"};
    static const bool scrolls[card_count] = {false, true, true, true, true, true, true,
                                             true, false, false, true, true, false, false};
    for (int i = 0; i < card_count; ++i) {
        auto* c = new QWidget;
        c->setObjectName(QString::fromLatin1(card_names[i]));
        auto* lay = new QVBoxLayout(c);
        lay->setContentsMargins(0, 0, 0, 0);
        if (scrolls[i]) {
            // The keyboard drawing scrolls at the usual wheel speed; the
            // other pages step by 16 pixels.
            QScrollArea* box = i == c_flayer_edit ? new QScrollArea(c) : new page_scroll_box(c);
            box->setFrameShape(QFrame::NoFrame);
            box->setWidgetResizable(true);
            auto* panel = new QWidget;
            panel->setObjectName(QString::fromLatin1(card_names[i]) + QStringLiteral("_panel"));
            box->setWidget(panel);
            if (i != c_flayer_edit) box->verticalScrollBar()->setSingleStep(16);
            lay->addWidget(box);
            card_panels_[size_t(i)] = panel;
        } else {
            card_panels_[size_t(i)] = c;
        }
        cards_[size_t(i)] = c;
        card_panel_->addWidget(c);
    }
    build_device_list_card();
    build_driver_cfg_card();
}

void Tmain_form::build_device_list_card() {
    QWidget* c = cards_[c_device_list];
    refresh_button_ = new QPushButton(c);
    refresh_button_->setObjectName(QStringLiteral("BitBtn1"));
    refresh_button_->setGeometry(12, 12, 120, 32);
    connect(refresh_button_, &QPushButton::clicked, this, &Tmain_form::BitBtn1Click);
    read_progress_bar_ = new QProgressBar(c);
    read_progress_bar_->setObjectName(QStringLiteral("dev_cfg_progress_bar"));
    read_progress_bar_->setTextVisible(false);
    read_progress_bar_->hide();
    device_list_ = std::make_unique<device_list_view>(c, [this](uint32_t i) { device_picture_double_click(i); });
}

void Tmain_form::build_driver_cfg_card() {
    QWidget* c = cards_[c_driver_cfg];
    auto* outer = qobject_cast<QVBoxLayout*>(c->layout());
    outer->setContentsMargins(24, 24, 24, 24);
    // One column of explanations and their controls, not wider than a
    // comfortable line of text.
    auto* column = new QWidget(c);
    column->setMaximumWidth(760);
    auto* lay = new QVBoxLayout(column);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(8);
    outer->addWidget(column);
    outer->addStretch(1);
    auto explanation = [column](const char* name) {
        auto* l = new QLabel(column);
        l->setObjectName(QString::fromLatin1(name));
        l->setWordWrap(true);
        return l;
    };
    language_label_ = explanation("Label38");
    language_combo_ = new QComboBox(column);
    language_combo_->setObjectName(QStringLiteral("cb_lng_select"));
    language_combo_->setMinimumWidth(240);
    auto_connect_label_ = explanation("Label32");
    auto_connect_box_ = new QCheckBox(column);
    auto_connect_box_->setObjectName(QStringLiteral("CheckBox1"));
    close_label_ = explanation("Label39");
    close_to_tray_box_ = new QCheckBox(column);
    close_to_tray_box_->setObjectName(QStringLiteral("CheckBox2"));
    lay->addWidget(language_label_);
    lay->addWidget(language_combo_, 0, Qt::AlignLeft);
    lay->addSpacing(16);
    lay->addWidget(auto_connect_label_);
    lay->addWidget(auto_connect_box_, 0, Qt::AlignLeft);
    lay->addSpacing(16);
    lay->addWidget(close_label_);
    lay->addWidget(close_to_tray_box_, 0, Qt::AlignLeft);

    connect(language_combo_, &QComboBox::currentIndexChanged, this, [this] { cb_lng_selectChange(); });
    connect(auto_connect_box_, &QCheckBox::clicked, this, [this](bool on) { settings_.set_auto_connect(on); });
    connect(close_to_tray_box_, &QCheckBox::clicked, this, [this](bool on) {
        minimise_on_close_ = on;
        settings_.set_minimise_on_close(on);
    });
}

void Tmain_form::build_tray() {
    tray_icon_ = new QSystemTrayIcon(windowIcon(), this);
    tray_menu_ = new QMenu(this);
    tray_restore_action_ = tray_menu_->addAction(QString::fromUtf8(text_tray_restore));
    tray_restore_action_->setObjectName(QStringLiteral("N1"));
    tray_exit_action_ = tray_menu_->addAction(QString::fromUtf8(text_tray_exit));
    tray_exit_action_->setObjectName(QStringLiteral("N2"));
    connect(tray_restore_action_, &QAction::triggered, this, &Tmain_form::restore_from_tray);
    connect(tray_exit_action_, &QAction::triggered, this, &Tmain_form::quit_from_tray);
    tray_icon_->setContextMenu(tray_menu_);
    connect(tray_icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger) restore_from_tray();
    });
}

// ---------------------------------------------------------------- start and stop

void Tmain_form::measure_dpi() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    dpi_.dpi_x = int(s->logicalDotsPerInchX());
    dpi_.dpi_y = int(s->logicalDotsPerInchY());
    if (dpi_.dpi_x <= 0) dpi_.dpi_x = 96;
    if (dpi_.dpi_y <= 0) dpi_.dpi_y = 96;
    dpi_.scale = float(dpi_.dpi_x) / 96.0f;
}

void Tmain_form::FormCreate() {
    measure_dpi();
    std::string exe_path = opts_.exe_dir;
    if (!exe_path.empty() && exe_path.back() != '/') exe_path += '/';
    exe_path += "qvk-tools";
    key_code_convert_ = std::make_unique<key_code_convert>(exe_path);
    load_skin_settings();
    load_languages();
    load_close_setting();
    page_label_->setText(actions_.at(QStringLiteral("device_list"))->text());
    card_panel_->setCurrentIndex(c_device_list);
    timer_detect_hid_device_->setInterval(timing::detect_interval_ms);
    timer_detect_hid_device_->start();
    batt_ = std::make_unique<ui_batt_disp>(
        title_panel_, [this](uint32_t id, const char* def) { return lng(id, def); },
        [this] { request_battery_update(); });
    batt_->picture()->setGeometry(0, skin_combo_->y(), battery_width, skin_combo_->sizeHint().height());
    FormResize();
    batt_->update(0, 0.0);
    if (opts_.start_hidden) {
        if (!hide_to_tray()) {
            // No notification area: a hidden window could never be reached
            // again, so start minimised instead.
            showMinimized();
        }
    }
}

void Tmain_form::FormClose() {
    if (closed_) return;
    closed_ = true;
    closing_ = true;
    // A dialog a page left open holds the texts; it goes before anything else.
    for (auto& p : pages_)
        if (p) p->close_dialogs();
    timer_detect_hid_device_->stop();
    timer_skin_change_re_conn_device_->stop();
    timer_probe_timeout_->stop();
    disconnect_device();
    probe_link_.reset();
    detector_.reset();
    teardown_pages();
    batt_.reset();
    if (tray_icon_) tray_icon_->hide();
}

void Tmain_form::closeEvent(QCloseEvent* e) {
    if (!quitting_ && minimise_on_close_) {
        e->ignore();
        if (!hide_to_tray()) showMinimized();
        return;
    }
    FormClose();
    e->accept();
}

void Tmain_form::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && isMinimized() && !minimise_on_close_ && !in_tray_) {
        // Minimising also hides the window behind its tray icon, when there
        // is a notification area to hold it.
        QTimer::singleShot(0, this, [this] {
            if (isMinimized()) hide_to_tray();
        });
    }
}

bool Tmain_form::hide_to_tray() {
    const bool available = opts_.tray_available < 0 ? QSystemTrayIcon::isSystemTrayAvailable()
                                                    : opts_.tray_available == 1;
    if (!available) return false;
    hide();
    tray_icon_->setToolTip(windowTitle());
    tray_icon_->show();
    in_tray_ = true;
    return true;
}

void Tmain_form::restore_from_tray() {
    show();
    tray_icon_->hide();
    in_tray_ = false;
    showNormal();
    raise();
    activateWindow();
}

void Tmain_form::quit_from_tray() {
    quitting_ = true;
    close();
}

void Tmain_form::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    FormResize();
}

bool Tmain_form::eventFilter(QObject* watched, QEvent* e) {
    if (watched == title_panel_ && e->type() == QEvent::Resize) FormResize();
    return QMainWindow::eventFilter(watched, e);
}

void Tmain_form::FormResize() {
    if (!title_panel_) return;
    QWidget* P = title_panel_;
    QComboBox* C = skin_combo_;
    const int pw = P->width();
    const int ph = title_height;
    const int cw = C->width();
    const int ch = C->sizeHint().height();
    C->setGeometry(pw - cw - (ph - ch) / 2, ph / 2 - ch / 2, cw, ch);
    const int lw = qMax(0, pw - menu_image_->width() - cw - 64);
    page_label_->setGeometry(pw / 2 - lw / 2, 0, lw, ph);
    if (batt_) batt_->picture()->setGeometry(C->x() - battery_width - 8, C->y(), battery_width, ch);
    // The page label sits under the indicator and the menu image.
    page_label_->lower();
}

void Tmain_form::toggle_menu() {
    menu_open_ = !menu_open_;
    menu_panel_->setFixedWidth(menu_open_ ? menu_open_width : menu_compact_width);
    nav_menu_->set_compact(!menu_open_);
}

QWidget* Tmain_form::card(int index) const {
    return index >= 0 && index < card_count ? cards_[size_t(index)] : nullptr;
}

QWidget* Tmain_form::page_panel(int index) const {
    return index >= 0 && index < card_count ? card_panels_[size_t(index)] : nullptr;
}

// ---------------------------------------------------------------- busy state

void Tmain_form::set_task_busy(bool on) {
    update_busy_colour();
    task_busy_ = on;
    awaiting_reply_ = 0;
    if (on)
        activity_indicator_->start();
    else
        activity_indicator_->stop();
}

void Tmain_form::set_busy(int mode, uint8_t awaiting) {
    update_busy_colour();
    if (task_busy_) return;
    switch (mode) {
    case 2:
        activity_indicator_->start();
        awaiting_reply_ = awaiting;
        break;
    case 1:
        awaiting_reply_ = 0;
        activity_indicator_->stop();
        break;
    case 0:
        if (awaiting_reply_ == 0) activity_indicator_->stop();
        break;
    default: break;
    }
}

bool Tmain_form::is_busy() const { return task_busy_ || activity_indicator_->animating(); }

void Tmain_form::update_busy_colour() {
    activity_indicator_->set_colour(busy_indicator_black(skin_combo_->currentIndex()) ? Qt::black : Qt::white);
}

// ---------------------------------------------------------------- navigation

QAction* Tmain_form::action(const QString& name) const {
    auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

QString Tmain_form::current_page_label() const { return page_label_->text(); }

int Tmain_form::current_card() const { return card_panel_->currentIndex(); }

bool Tmain_form::guard_passes(page_guard g) const {
    const hidconnect* link = active_link_.get();
    switch (g) {
    case page_guard::always: return true;
    case page_guard::device_config: return link && !is_busy() && link->get_kind() != kind_rf_boot;
    case page_guard::keyboard_page:
        return link && link->is_running() && is_keyboard_kind(link->get_kind()) && !is_task_busy() && !is_busy();
    case page_guard::device_manager:
        return link && link->is_running() && link->get_kind() != kind_none && !is_task_busy() && !is_busy();
    }
    return false;
}

void Tmain_form::run_action(QAction* a) {
    auto it = action_defs_.find(a);
    if (it == action_defs_.end()) return;
    const nav_action_def& d = *it->second;
    if (!guard_passes(d.guard)) return;
    if (d.card == c_driver_cfg && card_panel_->currentIndex() == c_driver_cfg) return;
    show_page(a, d.card);
    if (keyboard_page* p = ensure_page(d.card)) p->open(d.tag);
}

void Tmain_form::show_page(QAction* a, int card) {
    page_label_->setText(a->text());
    card_panel_->setCurrentIndex(card);
}

// ---------------------------------------------------------------- texts and settings

QString Tmain_form::lng(uint32_t id, const char* default_text) const {
    if (!key_code_convert_) return QString::fromUtf8(default_text);
    return QString::fromStdString(key_code_convert_->get_lng_text(id, default_text));
}

void Tmain_form::apply_ui_texts() {
    for (int i = 0; i < nav_action_count; ++i) {
        const nav_action_def& d = nav_actions[i];
        QAction* a = actions_.at(QString::fromLatin1(d.name));
        const bool showing = page_label_->text() == a->text() && card_panel_->currentIndex() == d.card;
        a->setText(lng(d.caption_id, d.caption));
        if (d.hint_id >= 0) a->setToolTip(lng(uint32_t(d.hint_id), d.hint));
        if (showing) page_label_->setText(a->text());
    }
    for (int c = 0; c < nav_category_count; ++c)
        nav_menu_->set_category_caption(c, lng(nav_categories[c].caption_id, nav_categories[c].caption));

    menu_image_->setToolTip(lng(txt::menu_image_hint, text_menu_image_hint));
    skin_combo_->setToolTip(lng(txt::skin_box_hint, text_skin_box_hint));
    refresh_button_->setText(lng(txt::refresh_caption, text_refresh_caption));
    refresh_button_->setToolTip(lng(txt::refresh_hint, text_refresh_hint));

    // Long explanations also carry their text as hint, so that a cut-off
    // line can still be read.
    auto explain = [this](QLabel* l, uint32_t id, const char* def) {
        l->setText(lng(id, def));
        l->setToolTip(l->text());
    };
    explain(language_label_, txt::language_label, text_language_label);
    explain(auto_connect_label_, txt::auto_connect_label, text_auto_connect_label);
    auto_connect_box_->setText(lng(txt::auto_connect_box, text_auto_connect_box));
    explain(close_label_, txt::close_label, text_close_label);
    close_to_tray_box_->setText(lng(txt::close_box, text_close_box));
    tray_restore_action_->setText(lng(txt::tray_restore, text_tray_restore));
    tray_exit_action_->setText(lng(txt::tray_exit, text_tray_exit));
    if (batt_) batt_->redraw();
    for (auto& p : pages_)
        if (p) p->apply_texts();
    for (uint32_t i = 0; i < device_list_view::max_entries; ++i)
        if (device_list_->shown_kind(i) != 0) draw_entry(i, device_list_->shown_connected(i));
}

void Tmain_form::load_skin_settings() {
    {
        const QSignalBlocker block(skin_combo_);
        skin_combo_->clear();
        skin_combo_->addItems(skin_names());
        int id = settings_.skin_id();
        // A stored index outside the list falls back to the first skin.
        if (id < 0 || id >= skin_combo_->count()) id = 0;
        skin_combo_->setCurrentIndex(id);
    }
    restyle(skin_combo_->currentIndex());
    load_auto_connect();
}

void Tmain_form::restyle(int skin) {
    apply_skin(skin);
    QPalette pal = title_panel_->palette();
    pal.setColor(QPalette::Window, skin_title_colour(skin));
    // The page label takes the indicator's colour, which always shows on
    // the skin's title bar.
    const QColor ink = busy_indicator_black(skin) ? Qt::black : Qt::white;
    pal.setColor(QPalette::WindowText, ink);
    title_panel_->setPalette(pal);
    menu_image_->setPixmap(menu_picture(32, ink));
    page_label_->setPalette(pal);
    update_busy_colour();
}

void Tmain_form::load_auto_connect() { auto_connect_box_->setChecked(settings_.auto_connect()); }

void Tmain_form::load_close_setting() {
    minimise_on_close_ = settings_.minimise_on_close();
    close_to_tray_box_->setChecked(minimise_on_close_);
}

void Tmain_form::load_languages() {
    key_code_convert& k = *key_code_convert_;
    k.select_language(settings_.language());
    {
        const QSignalBlocker block(language_combo_);
        language_combo_->clear();
        for (int i = 0; i < k.language_count(); ++i)
            language_combo_->addItem(QString::fromStdString(k.language_name(i)));
        language_combo_->setCurrentIndex(
            language_combo_->findText(QString::fromStdString(k.language_name(k.selected_language()))));
        if (k.selected_language() < 0) language_combo_->setCurrentIndex(-1);
    }
    k.load_language(k.selected_language());
    apply_ui_texts();
}

void Tmain_form::cb_lng_selectChange() {
    key_code_convert& k = *key_code_convert_;
    const int index = language_combo_->currentIndex();
    if (index == k.selected_language()) return;
    k.select_language(index);
    settings_.set_language(index);
    k.load_language(k.selected_language());
    apply_ui_texts();
}

void Tmain_form::cb_skin_selectChange() {
    const int index = skin_combo_->currentIndex();
    settings_.set_skin_id(index);
    const bool reading = read_progress_bar_->isVisible();
    if (!active_link_ && !is_busy() && !reading) {
        restyle(index);
        return;
    }
    if (is_busy() || reading) {
        dialogs_->show_message(lng(txt::skin_busy, text_skin_busy));
        return;
    }
    reconnect_pending_ = true;
    reconnect_index_ = current_index_;
    disconnect_device();
    restyle(index);
    timer_skin_change_re_conn_device_->start(skin_reconnect_ms);
}

void Tmain_form::timer_skin_change_re_conn_deviceTimer() {
    timer_skin_change_re_conn_device_->stop();
    if (reconnect_pending_ && connect_device(reconnect_index_))
        dialogs_->show_message(lng(txt::reconnect_failed, text_reconnect_failed));
    reconnect_pending_ = false;
}

void Tmain_form::set_dialog_service(dialog_service* d) { dialogs_ = d ? d : own_dialogs_.get(); }

QLabel* Tmain_form::battery_image() const { return batt_ ? batt_->picture() : nullptr; }

bool Tmain_form::event(QEvent* e) {
    const int type = int(e->type());
    if (type >= int(msg::report_queued) && type <= int(msg::device_info)) {
        auto* m = static_cast<link_event*>(e);
        if (closing_) return true; // the window is going away: link news is ignored
        switch (uint32_t(type)) {
        case msg::report_queued: on_report_queued(); break;
        case msg::send_done: on_send_done(m->wparam); break;
        case msg::send_progress: on_send_progress(m->lparam); break;
        case msg::link_lost: on_link_lost(uint32_t(m->wparam)); break;
        case msg::device_info: on_device_info(uint32_t(m->wparam)); break;
        default: break;
        }
        return true;
    }
    return QMainWindow::event(e);
}

} // namespace qvk
