#pragma once
// Answers the next modal dialog of a type that the window opens: once it is
// the active modal widget, `answer` runs on it (it clicks a button or closes
// the dialog).

#include <QApplication>
#include <QTimer>
#include <functional>

namespace qvk::testing {

template <class Dialog>
class modal_answer {
public:
    explicit modal_answer(std::function<void(Dialog&)> answer) : answer_(std::move(answer)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (!d || answered_) return;
            answered_ = true;
            poll_.stop();
            answer_(*d);
        });
        poll_.start(1);
    }
    // The dialog came, was answered and has gone.
    bool done() const { return answered_ && !QApplication::activeModalWidget(); }
    bool opened() const { return answered_; }

private:
    std::function<void(Dialog&)> answer_;
    QTimer poll_;
    bool answered_ = false;
};

} // namespace qvk::testing
