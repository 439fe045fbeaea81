#include "layers/layer_file_dialogs.h"

#include "ui/dialogs.h"
#include "ui/page_host.h"

namespace qvk {

void save_layer_file_as(page_host& host, const layer_file_format& format, const uint8_t* record,
                        const layer_file_dialog_texts& texts) {
    dialog_service& dialogs = host.dialogs();
    const QString path = dialogs.save_file_name(QStringLiteral("set a file name..."),
                                                QString::fromLatin1(texts.filter), QString::fromLatin1(texts.suffix));
    if (path.isEmpty()) return;
    switch (save_layer_file(path.toStdString(), format, record)) {
    case layer_file_result::create_failed:
        dialogs.show_message(QStringLiteral("file[") + path + QString::fromUtf8(texts.create_failed_end));
        break;
    case layer_file_result::write_failed: dialogs.show_message(QStringLiteral("file write fail！")); break;
    default: break;
    }
}

void load_layer_file_into(page_host& host, const layer_file_format& format, uint8_t* record,
                          const layer_file_dialog_texts& texts) {
    dialog_service& dialogs = host.dialogs();
    const QString path =
        dialogs.open_file_name(QString::fromLatin1(texts.open_caption), QString::fromLatin1(texts.filter));
    if (path.isEmpty()) return;
    auto tell = [&](const layer_file_dialog_texts::text& t) { dialogs.show_message(host.lng(t.id, t.default_text)); };
    switch (load_layer_file(path.toStdString(), format, record)) {
    case layer_file_result::open_failed:
        dialogs.show_message(QStringLiteral("file：") + path + QStringLiteral("open fail！"));
        break;
    case layer_file_result::wrong_size: tell(texts.wrong_size); break;
    case layer_file_result::read_failed: tell(texts.read_failed); break;
    case layer_file_result::bad_magic: tell(texts.bad_magic); break;
    default: break;
    }
}

} // namespace qvk
