#pragma once
// Building blocks shared by the pages of the function picker: rows of
// labels, lists and buttons, the ten-column button list and the on-screen
// keyboard.

#include <QFont>
#include <QScrollArea>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

class QComboBox;
class QFontMetrics;
class QLabel;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace qvk {

// A text ID with its built-in default.
struct text_ref {
    uint32_t id;
    const char* def;
};

// Button text shown as given: '&' is not a shortcut marker.
QString button_text(const QString& caption);
// The caption on at most two lines of the given width: broken at the space
// that fits best, else cut with an ellipsis.
QString fit_caption(const QString& caption, const QFontMetrics& fm, int width);
// "first" to "last" in decimal.
QStringList number_items(int first, int last);

// Adds rows of controls to one page, top to bottom.
class page_builder {
public:
    using lookup = std::function<QString(text_ref)>;
    page_builder(QWidget* page, QVBoxLayout* layout, lookup tx, float scale);

    QWidget* page() const { return page_; }
    int px(int design) const { return int(float(design) * scale_); }

    // A long explanation: wrapped, with its text as hint for what is cut off.
    QLabel* explain(text_ref t);
    QLabel* label(const QString& text);
    QLabel* label(text_ref t) { return label(tx_(t)); }
    // A pick-only list, item 0 selected when it has items.
    QComboBox* list(const char* name, const QStringList& items);
    QPushButton* button(const char* name, text_ref t, std::function<void()> on_click);
    QPushButton* button(const char* name, const QString& text, std::function<void()> on_click);
    QRadioButton* radio(const char* name, text_ref t);
    // Lays the widgets out left to right on a new row of the page.
    QWidget* row(const std::vector<QWidget*>& widgets);
    // Adds any widget as its own row.
    void add(QWidget* w, int stretch = 0);
    void end(); // takes up the space left below the rows

private:
    QWidget* page_;
    QVBoxLayout* layout_;
    lookup tx_;
    float scale_;
};

// Buttons in ten columns, scrolled, each standing for a number (a usage).
class button_list final : public QScrollArea {
    Q_OBJECT
public:
    button_list(int list_width, float scale, QWidget* parent = nullptr);
    void add(const QString& caption, int value, const QString& name);
    int count() const { return int(buttons_.size()); }
    QPushButton* item(int i) const { return buttons_[size_t(i)]; }
    std::function<void(int)> on_choose;

private:
    QWidget* inner_;
    QFont font_;
    float scale_;
    int button_width_;
    int button_height_;
    std::vector<QPushButton*> buttons_;
};

// The full-size on-screen keyboard: function row, main block, navigation
// block and keypad, one button per usage 0x04-0x65 and the modifiers.
class keyboard_widget final : public QWidget {
    Q_OBJECT
public:
    keyboard_widget(float scale, QWidget* parent = nullptr);
    std::function<void(uint8_t)> on_choose;
    static constexpr int key_count = 106;
};

// Captions of the usages listed below the on-screen keyboard: item i
// stands for usage_list_code(i).
constexpr int usage_list_count = 109;
uint8_t usage_list_code(int i);
const char* usage_list_caption(int i);

} // namespace qvk
