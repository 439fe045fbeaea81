#pragma once
// The navigation menu on the left of the window: categories that fold open
// and shut, each with the buttons of its actions. In compact mode only the
// actions' icons show.

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

class QAction;
class QToolButton;
class QVBoxLayout;

namespace qvk {

class nav_menu final : public QWidget {
    Q_OBJECT
public:
    explicit nav_menu(QWidget* parent = nullptr);

    // Returns the category's index.
    int add_category(const QString& caption, QColor colour, bool expanded, const QList<QAction*>& actions);
    void set_category_caption(int category, const QString& caption);
    QString category_caption(int category) const;
    bool category_expanded(int category) const;
    void set_category_expanded(int category, bool expanded);
    int category_count() const { return int(categories_.size()); }
    void set_compact(bool compact);
    bool compact() const { return compact_; }
    // The button that stands for an action (for tests and hints).
    QToolButton* button_for(QAction* action) const;

private:
    struct category {
        QString caption;
        QColor colour;
        bool expanded = true;
        QToolButton* header = nullptr;
        QList<QToolButton*> buttons;
    };
    void refresh(int category);

    QVBoxLayout* layout_;
    QList<category> categories_;
    bool compact_ = false;
};

// Small square icon with a letter, drawn in a colour; used for the menu
// actions so that the compact menu still tells them apart.
QIcon letter_icon(const QString& text, QColor background, int size = 24);

} // namespace qvk
