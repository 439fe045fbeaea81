#include "app/nav_menu.h"

#include <QAction>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace qvk {

namespace {
constexpr int button_height = 32;
constexpr QRgb menu_text_background = 0x1464BE;
} // namespace

QIcon letter_icon(const QString& text, QColor background, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(background);
    p.drawRoundedRect(QRectF(1, 1, size - 2, size - 2), 4, 4);
    QFont f = p.font();
    f.setPixelSize(size * 11 / 20);
    f.setBold(true);
    p.setFont(f);
    p.setPen(background.lightness() > 140 ? Qt::black : Qt::white);
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, text);
    return QIcon(pm);
}

nav_menu::nav_menu(QWidget* parent) : QWidget(parent), layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    layout_->addStretch(1);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(menu_text_background));
    setPalette(pal);
}

int nav_menu::add_category(const QString& caption, QColor colour, bool expanded, const QList<QAction*>& actions) {
    category c;
    c.caption = caption;
    c.colour = colour;
    c.expanded = expanded;
    const int index = int(categories_.size());

    c.header = new QToolButton(this);
    c.header->setObjectName(QStringLiteral("nav_category_%1").arg(index));
    c.header->setToolButtonStyle(Qt::ToolButtonTextOnly);
    c.header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    c.header->setFixedHeight(button_height);
    c.header->setAutoRaise(true);
    c.header->setStyleSheet(QStringLiteral("QToolButton{color:white;font:bold 12px 'Segoe UI';text-align:left;"
                                           "padding-left:4px;border:none;background:#%1;}")
                                .arg(QColor(menu_text_background).darker(115).rgb() & 0xFFFFFF, 6, 16, QChar('0')));
    connect(c.header, &QToolButton::clicked, this, [this, index] {
        set_category_expanded(index, !categories_[index].expanded);
    });
    layout_->insertWidget(layout_->count() - 1, c.header);

    for (QAction* a : actions) {
        auto* b = new QToolButton(this);
        b->setDefaultAction(a);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setFixedHeight(button_height);
        b->setAutoRaise(true);
        b->setIconSize(QSize(20, 20));
        b->setStyleSheet(QStringLiteral("QToolButton{color:white;font:12px 'Segoe UI';text-align:left;border:none;"
                                        "padding-left:8px;}"
                                        "QToolButton:hover{background:rgba(255,255,255,40);}"
                                        "QToolButton:checked{background:palette(highlight);}"));
        c.buttons.push_back(b);
        layout_->insertWidget(layout_->count() - 1, b);
    }
    categories_.push_back(c);
    refresh(index);
    return index;
}

void nav_menu::set_category_caption(int i, const QString& caption) {
    if (i < 0 || i >= categories_.size()) return;
    categories_[i].caption = caption;
    refresh(i);
}

QString nav_menu::category_caption(int i) const {
    return i >= 0 && i < categories_.size() ? categories_[i].caption : QString();
}

bool nav_menu::category_expanded(int i) const { return i >= 0 && i < categories_.size() && categories_[i].expanded; }

void nav_menu::set_category_expanded(int i, bool expanded) {
    if (i < 0 || i >= categories_.size()) return;
    categories_[i].expanded = expanded;
    refresh(i);
}

void nav_menu::set_compact(bool compact) {
    compact_ = compact;
    for (int i = 0; i < categories_.size(); ++i) refresh(i);
}

QToolButton* nav_menu::button_for(QAction* action) const {
    for (const category& c : categories_)
        for (QToolButton* b : c.buttons)
            if (b->defaultAction() == action) return b;
    return nullptr;
}

void nav_menu::refresh(int i) {
    category& c = categories_[i];
    const QString sign = c.expanded ? QStringLiteral("\u2212 ") : QStringLiteral("+ ");
    c.header->setText(compact_ ? sign.trimmed() : sign + c.caption);
    c.header->setToolTip(c.caption);
    for (QToolButton* b : c.buttons) {
        b->setVisible(c.expanded);
        b->setToolButtonStyle(compact_ ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    }
}

} // namespace qvk
