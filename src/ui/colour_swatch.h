#pragma once
// Colour swatches: a small picture filled with one colour and framed in
// black, and a palette of several in a row. The usual swatch answers a left
// click with the colour dialog and a right click with a random colour; a
// palette reports clicks and lets its page decide.

#include <QWidget>
#include <functional>
#include <vector>

namespace qvk {

class dialog_service;

class colour_swatch final : public QWidget {
public:
    explicit colour_swatch(QWidget* parent = nullptr);

    QRgb colour() const { return colour_; } // 0xRRGGBB
    void set_colour(QRgb rrggbb);

    // Any button pressed on the swatch.
    std::function<void(Qt::MouseButton)> on_click;

    // The usual answer to a click: left opens the colour dialog preset to
    // the swatch's colour and takes the colour confirmed, right takes a
    // random colour. True when the button was one of the two (the swatch
    // may then hold its old colour, when the dialog was cancelled).
    bool pick(Qt::MouseButton button, dialog_service& dialogs);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QRgb colour_ = 0;
};

class colour_palette final : public QWidget {
public:
    // `count` swatches of side `side` with `gap` pixels between them.
    colour_palette(int count, int side, int gap, QWidget* parent = nullptr);

    int count() const { return int(swatches_.size()); }
    colour_swatch* swatch(int i) const;
    // Every swatch takes a new random colour.
    void randomise();

    // A button pressed on swatch i.
    std::function<void(int i, Qt::MouseButton)> on_click;

private:
    std::vector<colour_swatch*> swatches_;
};

} // namespace qvk
