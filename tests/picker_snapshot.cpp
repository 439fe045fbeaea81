// Renders every page of the function picker to PNG files, to look at the
// layout by eye: picker_snapshot OUT_DIR [scale] [macro] [language-index].

#include <QApplication>
#include <QTabWidget>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/dialogs.h"
#include "functions/func_sel.h"
#include "functions/key_code_convert.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT_DIR [scale] [macro] [language-index]\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const float scale = argc > 2 ? std::strtof(argv[2], nullptr) : 1.0f;
    const bool macro = argc > 3 && std::atoi(argv[3]) != 0;
    qvk::key_code_convert texts(std::string(QVK_RESOURCES) + "/qvk-tools");
    if (argc > 4) texts.load_language(std::atoi(argv[4]));
    uint8_t slot[4] = {};
    qvk::Tfunc_sel::params p;
    p.convert = &texts;
    p.bkl_effect_count = 20;
    p.code = slot;
    p.macro_mode = macro ? 1 : 0;
    p.scale = scale;
    qvk::Tfunc_sel dlg(p);
    dlg.show();
    for (int i = 0; i < dlg.pages()->count(); ++i) {
        dlg.pages()->setCurrentIndex(i);
        QApplication::processEvents();
        const QString name = QStringLiteral("%1/picker_s%2_%3_p%4.png")
                                 .arg(out)
                                 .arg(scale)
                                 .arg(macro ? "macro" : "key")
                                 .arg(i + 1, 2, 10, QLatin1Char('0'));
        dlg.grab().save(name);
        std::printf("%s\n", qPrintable(name));
    }
    return 0;
}
