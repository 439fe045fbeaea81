#pragma once
// Every message box, question and file or colour dialog of the tool goes
// through this interface, owned by the main window, so that tests can answer
// them instead of blocking.

#include <QColor>
#include <QString>
#include <optional>

class QWidget;

namespace qvk {

class dialog_service {
public:
    virtual ~dialog_service() = default;
    virtual void show_message(const QString& text) = 0;
    virtual bool ask_yes_no(const QString& caption, const QString& text) = 0;
    // Empty when the user cancelled. Filters are "text(pattern);;text(pattern)".
    virtual QString open_file_name(const QString& caption, const QString& filter) = 0;
    // A name typed without an extension gets default_suffix.
    virtual QString save_file_name(const QString& caption, const QString& filter, const QString& default_suffix) = 0;
    virtual std::optional<QColor> pick_colour(const QColor& initial) = 0;
};

// Answers every dialog as a user who cancels: for runs without anyone at
// the screen (benchmarks, tools that render pages).
class silent_dialog_service final : public dialog_service {
public:
    void show_message(const QString&) override {}
    bool ask_yes_no(const QString&, const QString&) override { return false; }
    QString open_file_name(const QString&, const QString&) override { return {}; }
    QString save_file_name(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QColor> pick_colour(const QColor&) override { return std::nullopt; }
};

// The real dialogs, modal on the given parent.
class qt_dialog_service final : public dialog_service {
public:
    explicit qt_dialog_service(QWidget* parent) : parent_(parent) {}
    void show_message(const QString& text) override;
    bool ask_yes_no(const QString& caption, const QString& text) override;
    QString open_file_name(const QString& caption, const QString& filter) override;
    QString save_file_name(const QString& caption, const QString& filter, const QString& default_suffix) override;
    std::optional<QColor> pick_colour(const QColor& initial) override;

private:
    QWidget* parent_;
};

} // namespace qvk
