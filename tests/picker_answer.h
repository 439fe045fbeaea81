#pragma once
// Answers the next function picker a window opens: once it is the modal
// window, `answer` runs on it (it clicks a button or closes the picker).

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

#include "functions/func_sel.h"

namespace qvk::testing {

class next_picker {
public:
    explicit next_picker(std::function<void(Tfunc_sel&)> answer) : answer_(std::move(answer)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto* picker = qobject_cast<Tfunc_sel*>(QApplication::activeModalWidget());
            if (!picker || answered_) return;
            answered_ = true;
            poll_.stop();
            answer_(*picker);
        });
        poll_.start(1);
    }
    bool done() const { return answered_ && !QApplication::activeModalWidget(); }
    bool opened() const { return answered_; }

private:
    std::function<void(Tfunc_sel&)> answer_;
    QTimer poll_;
    bool answered_ = false;
};

// Clicks a button on a page of the picker.
inline std::function<void(Tfunc_sel&)> press_in_picker(func_sel_page page, const char* button) {
    return [=](Tfunc_sel& p) {
        p.pages()->setCurrentIndex(page);
        QCoreApplication::processEvents();
        auto* b = p.findChild<QAbstractButton*>(QString::fromLatin1(button));
        if (b) QTest::mouseClick(b, Qt::LeftButton);
        else p.reject();
    };
}

} // namespace qvk::testing
