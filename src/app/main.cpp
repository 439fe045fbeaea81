// Entry of the keyboard configuration tool.
//   qvk-tools [-hide] [--demo]

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstring>
#include <exception>

#include "app/command_line.h"
#include "app/main_form.h"
#include "link/hidapi_transport.h"
#include "link/link_kind.h"
#include "sim/virtual_keyboard.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(true);
    try {
        qvk::Tmain_form::options opts;
        opts.exe_dir = QCoreApplication::applicationDirPath().toStdString();
        const qvk::command_line args = qvk::parse_command_line(argc, argv);
        opts.start_hidden = args.hide;
        opts.bus = std::make_shared<qvk::device_bus>();
        opts.bus->add(std::make_shared<qvk::hidapi_transport>());
        if (args.demo) {
            auto demo = std::make_shared<qvk::sim::virtual_transport>();
            demo->add(std::make_shared<qvk::sim::virtual_keyboard>(qvk::kind_usb, "QVK Demo Keyboard", 0x0105));
            opts.bus->add(demo);
        }
        qvk::Tmain_form window(std::move(opts));
        if (!window.in_tray() && !window.isMinimized()) window.show();
        if (!args.screenshot.empty()) {
            const QString file = QString::fromStdString(args.screenshot);
            QTimer::singleShot(2500, &window, [&window, file] {
                window.grab().save(file);
                window.close();
            });
        }
        return app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("QVK"), QString::fromUtf8(e.what()));
        return 0;
    }
}
