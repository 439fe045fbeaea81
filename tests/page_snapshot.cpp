// Renders the main window showing one page against the demo keyboard, for
// the documentation:
//   page_snapshot OUT.png [action] [icon-colour item] [scale item] [language-index]
//   page_snapshot OUT.png tl_N [tab]
// The window is connected to the virtual keyboard, reads it, opens the page
// of the action (fl_0 when none is named) and is saved as a PNG file. On a
// trigger-layer page the tab is chosen and its first item switched on and
// given keys of the home row and the Space key as its first function, so
// that the picture shows them. The music rhythm page is shown running, with
// a private sound server playing a 1 kHz tone.

#include <QApplication>
#include <QAction>
#include <QComboBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QDir>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <functional>

#include "ui/dialogs.h"
#include "app/main_form.h"
#include "layers/flayer_mgr.h"
#include "layers/flayer_page.h"
#include "lighting/custom_backlight_page.h"
#include "ui/key_picture.h"
#include "layers/tlayer_page.h"
#include "sim/default_records.h"
#include "ui/toggle_switch.h"
#include "link/link_kind.h"
#include "macros/macro_page.h"
#include "music/music_page.h"
#include "sim/virtual_keyboard.h"
#include "sound_server.h"

namespace {

bool wait_for(const std::function<bool()>& done, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void copy_tree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    const QDir src(from);
    for (const QString& f : src.entryList(QDir::Files)) QFile::copy(src.filePath(f), to + QLatin1Char('/') + f);
    for (const QString& d : src.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        copy_tree(src.filePath(d), to + QLatin1Char('/') + d);
}

// Picks a combo item as a user would, so that the window hears of it.
void choose(QComboBox* box, int item) {
    if (!box || item <= 0 || item >= box->count()) return;
    box->setCurrentIndex(item);
    emit box->activated(item);
}

// Custom backlight: the picture filled with random colours and four keys of
// the home row selected (the first with a plain click, the others with Ctrl).
void paint_custom_picture(qvk::Tled_custom_editer_frame& page, QWidget& panel) {
    if (auto* b = panel.findChild<QPushButton*>(QStringLiteral("Button4"))) b->click();
    for (unsigned c = 1; c <= 4; ++c) {
        qvk::key_picture* k = page.key_at(c, 3);
        if (!k) continue;
        const QPointF at(k->width() / 2, k->height() / 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, k->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          c == 1 ? Qt::NoModifier : Qt::ControlModifier);
        QCoreApplication::sendEvent(k, &press);
    }
}

// Chooses item 0 of a trigger-layer tab, switches it on and gives it keys
// A and S of the home row (only A where an item has one key) and the Space
// key as its first function.
void show_trigger_item(qvk::Ttl_edit_frame& f, int tab) {
    const auto kind = qvk::tlayer::page(unsigned(tab));
    f.tabs()->setCurrentIndex(tab);
    f.show_item(kind, 0);
    if (auto* sw = f.findChild<qvk::toggle_switch*>(QStringLiteral("ToggleSwitch%1").arg(tab + 1)); sw && !sw->isChecked())
        sw->click();
    f.key_assign(qvk::sim::board_key_id(1, 3));
    if (kind == qvk::tlayer::page::combo) f.key_assign(qvk::sim::board_key_id(2, 3));
    const uint8_t space[4] = {2, 0x2C, 0, 0}; // the Space key
    f.code_chosen(kind, 0, 0, space);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png [action] [icon-colour item] [scale item] [language-index]\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString action = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("fl_0");
    const int colours = argc > 3 ? std::atoi(argv[3]) : 0;
    const int scale = argc > 4 ? std::atoi(argv[4]) : 0;

    // The tool's files in a folder of their own (the window writes its
    // settings beside them).
    QTemporaryDir dir;
    copy_tree(QStringLiteral(QVK_RESOURCES), dir.path());

    auto demo = std::make_shared<qvk::sim::virtual_transport>();
    demo->add(std::make_shared<qvk::sim::virtual_keyboard>(qvk::kind_usb, "QVK Demo Keyboard", 0x0105));
    qvk::silent_dialog_service dialogs;
    qvk::Tmain_form::options o;
    o.exe_dir = dir.path().toStdString();
    o.bus = std::make_shared<qvk::device_bus>();
    o.bus->add(demo);
    o.dialogs = &dialogs;
    o.tray_available = 0;
    qvk::Tmain_form w(std::move(o));
    if (argc > 5) {
        w.language_combo()->setCurrentIndex(std::atoi(argv[5]));
        emit w.language_combo()->activated(std::atoi(argv[5]));
    }
    w.show();
    w.timer_detect_hid_deviceTimer();
    if (!wait_for([&] { return w.probe_link() == nullptr && !w.is_task_busy(); }) || w.connect_device(0) ||
        !wait_for([&] { return w.initial_read_finished() && !w.is_busy(); })) {
        std::fprintf(stderr, "the demo keyboard did not connect\n");
        return 1;
    }
    QAction* a = w.action(action);
    if (!a) {
        std::fprintf(stderr, "no action %s\n", qPrintable(action));
        return 2;
    }
    a->trigger();
    wait_for([&] { return !w.is_busy(); });
    auto* page = dynamic_cast<qvk::flayer_page*>(w.page(qvk::c_flayer_edit));
    if (qvk::flayer_mgr* strip = page ? page->strip() : nullptr) {
        choose(strip->colour_combo(), colours);
        choose(strip->scale_combo(), scale);
    }
    if (auto* custom = dynamic_cast<qvk::Tled_custom_editer_frame*>(w.page(qvk::c_bkl_custom_edit))) {
        wait_for([&] { return custom->pictures().loaded(custom->current_picture()) && !w.is_busy(); });
        std::srand(7);
        paint_custom_picture(*custom, *w.page_panel(qvk::c_bkl_custom_edit));
    }
    if (auto* tl = dynamic_cast<qvk::tlayer_page*>(w.page(qvk::c_tlayer_edit));
        tl && tl->editor() && action.startsWith(QStringLiteral("tl_"))) {
        show_trigger_item(*tl->editor(), std::clamp(colours, 0, int(qvk::tlayer::page_count) - 1));
    }
    // The macro page shows the demo keyboard's group 0, read as the user
    // reads it, with a few steps selected.
    if (auto* macros = dynamic_cast<qvk::macro_page*>(w.page(qvk::c_macro_edit))) {
        macros->read_group();
        wait_for([&] { return w.records().macro_loaded[0] && !w.is_busy(); });
        QTableView* list = macros->frame()->step_list();
        for (int row : {1, 2, 3})
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // Kept until the picture is taken.
    std::unique_ptr<qvk::testing::sound_server> sound;
    pid_t player = 0;
    if (auto* music = dynamic_cast<qvk::Tmusic_spectrum_frame*>(w.page(qvk::c_music_spectrum))) {
        sound = std::make_unique<qvk::testing::sound_server>();
        if (!sound->running()) {
            std::fprintf(stderr, "no sound server: %s\n", sound->failure().c_str());
            return 1;
        }
        const std::string wav = sound->folder() + "/tone.wav";
        qvk::testing::write_tone_wav(wav, 1000.0, 5.0);
        music->rhythm_switch()->click();
        player = sound->play(wav);
        wait_for([&] { return music->meter().bars()[70].height > 0; });
        wait_for([] { return false; }, 600);
    }
    wait_for([] { return false; }, 200);
    qvk::testing::sound_server::end_process(player);
    if (!w.grab().save(out)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
        return 1;
    }
    return 0;
}
