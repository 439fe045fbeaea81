#pragma once
// Messages from the link threads, delivered to the window as posted events
// whose type is the message number.

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

#include "link/link_messages.h"

namespace qvk {

class link_event final : public QEvent {
public:
    link_event(uint32_t message, uintptr_t wparam, intptr_t lparam)
        : QEvent(static_cast<QEvent::Type>(message)), wparam(wparam), lparam(lparam) {}
    const uintptr_t wparam;
    const intptr_t lparam;
};

static_assert(msg::report_queued > QEvent::User, "link messages must lie in the user event range");

// Posts every link message to one QObject; safe to call from any thread.
class qt_link_sink final : public link_message_sink {
public:
    explicit qt_link_sink(QObject* target) : target_(target) {}
    void post_message(uint32_t message, uintptr_t wparam, intptr_t lparam) override {
        QCoreApplication::postEvent(target_, new link_event(message, wparam, lparam));
    }

private:
    QObject* target_;
};

} // namespace qvk
