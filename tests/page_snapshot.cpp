// Renders the main window showing one page against the demo keyboard, for
// the documentation:
//   page_snapshot OUT.png [action] [icon-colour item] [scale item] [language-index]
//   page_snapshot OUT.png tl_N [tab]
// The window is connected to the virtual keyboard, reads it, opens the page
// of the action (fl_0 when none is named) and is saved as a PNG file. On a
// trigger-layer page the tab is chosen and its first item switched on and
// given keys of the home row, so that the picture shows them marked.

#include <QApplication>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <functional>

#include "ui/dialogs.h"
#include "app/main_form.h"
#include "layers/flayer_mgr.h"
#include "layers/flayer_page.h"
#include "layers/tlayer_page.h"
#include "sim/default_records.h"
#include "ui/toggle_switch.h"
#include "link/link_kind.h"
#include "sim/virtual_keyboard.h"

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

// Chooses item 0 of a trigger-layer tab, switches it on and gives it keys
// A and S of the home row (only A where an item has one key).
void show_trigger_item(qvk::Ttl_edit_frame& f, int tab) {
    const auto kind = qvk::tlayer::page(unsigned(tab));
    f.tabs()->setCurrentIndex(tab);
    f.show_item(kind, 0);
    if (auto* sw = f.findChild<qvk::toggle_switch*>(QStringLiteral("ToggleSwitch%1").arg(tab + 1)); sw && !sw->isChecked())
        sw->click();
    f.key_assign(qvk::sim::board_key_id(1, 3));
    if (kind == qvk::tlayer::page::combo) f.key_assign(qvk::sim::board_key_id(2, 3));
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
    if (auto* tl = dynamic_cast<qvk::tlayer_page*>(w.page(qvk::c_tlayer_edit));
        tl && tl->editor() && action.startsWith(QStringLiteral("tl_"))) {
        show_trigger_item(*tl->editor(), std::clamp(colours, 0, int(qvk::tlayer::page_count) - 1));
    }
    wait_for([] { return false; }, 200);
    if (!w.grab().save(out)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
        return 1;
    }
    return 0;
}
