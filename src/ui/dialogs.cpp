#include "ui/dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace qvk {

void qt_dialog_service::show_message(const QString& text) {
    QMessageBox::information(parent_, QApplication::applicationName(), text);
}

bool qt_dialog_service::ask_yes_no(const QString& caption, const QString& text) {
    return QMessageBox::question(parent_, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

QString qt_dialog_service::open_file_name(const QString& caption, const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, caption, QString(), filter);
}

QString qt_dialog_service::save_file_name(const QString& caption, const QString& filter,
                                          const QString& default_suffix) {
    QFileDialog d(parent_, caption, QString(), filter);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setDefaultSuffix(default_suffix);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    return d.selectedFiles().constFirst();
}

std::optional<QColor> qt_dialog_service::pick_colour(const QColor& initial) {
    const QColor c = QColorDialog::getColor(initial, parent_);
    if (!c.isValid()) return std::nullopt;
    return c;
}

} // namespace qvk
