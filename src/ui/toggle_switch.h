#pragma once
// An on/off switch drawn as a small rounded track with a knob, captioned
// "ON" or "OFF". It is a checkable button: a click flips it and emits
// clicked(bool) as any button does.

#include <QAbstractButton>

namespace qvk {

class toggle_switch final : public QAbstractButton {
public:
    explicit toggle_switch(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
};

} // namespace qvk
