#pragma once
// The text-to-macro dialog: the user types a text, the counter shows how
// many steps it takes against the room left in the group from the insert
// position, and OK turns it into key steps for the macro editor to insert.
// Cancel, the close button or a refused text return no steps.

#include <QDialog>
#include <cstddef>

#include "macros/macro_text.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace qvk {

class dialog_service;
class key_code_convert;

class Tmacro_str_edit final : public QDialog {
    Q_OBJECT
public:
    // `result` gets the steps on OK and a count of 0 otherwise; `position`
    // is the step the text is inserted at.
    Tmacro_str_edit(macro_steps& result, size_t position, const key_code_convert& texts, dialog_service& dialogs,
                    float scale, QWidget* parent = nullptr);

    QPlainTextEdit* editer() const { return editer_; }
    QLabel* note_label() const { return note_label_; }
    QLabel* counter_label() const { return counter_label_; }
    QPushButton* ok_button() const { return ok_button_; }
    QPushButton* cancel_button() const { return cancel_button_; }

    void Button1Click();
    void Button2Click();

private:
    void editerChange();
    QString tx(uint32_t id, const char* def) const;
    std::u16string text() const;
    int px(int design) const { return int(float(design) * scale_); }

    macro_steps& result_;
    size_t position_;
    const key_code_convert& texts_;
    dialog_service& dialogs_;
    float scale_;
    QLabel* note_label_ = nullptr;
    QLabel* counter_label_ = nullptr;
    QPlainTextEdit* editer_ = nullptr;
    QPushButton* ok_button_ = nullptr;
    QPushButton* cancel_button_ = nullptr;
};

} // namespace qvk
