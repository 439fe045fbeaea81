#include "functions/func_sel_widgets.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <utility>

namespace qvk {

QString button_text(const QString& caption) {
    QString s = caption;
    return s.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString fit_caption(const QString& caption, const QFontMetrics& fm, int width) {
    if (fm.horizontalAdvance(caption) <= width) return caption;
    // Where a line may break: at a space (which goes), after a '/', or
    // between a word and the number that ends it ("International" "1").
    const auto may_break = [&caption](int i) {
        const QChar before = caption[i - 1], at = caption[i];
        return at == ' ' || before == '/' || (before.isLetter() && at.isDigit());
    };
    QString best;
    int best_width = 0;
    for (int i = 1; i < caption.size(); ++i) {
        if (!may_break(i)) continue;
        const QString first = caption.left(i), second = caption.mid(caption[i] == ' ' ? i + 1 : i);
        const int w = std::max(fm.horizontalAdvance(first), fm.horizontalAdvance(second));
        // The break that leaves the longer line shortest.
        if (w <= width && (best.isEmpty() || w < best_width)) {
            best = first + '\n' + second;
            best_width = w;
        }
    }
    return best.isEmpty() ? fm.elidedText(caption, Qt::ElideRight, width) : best;
}

QStringList number_items(int first, int last) {
    QStringList items;
    items.reserve(std::max(0, last - first + 1));
    for (int i = first; i <= last; ++i) items << QString::number(i);
    return items;
}

page_builder::page_builder(QWidget* page, QVBoxLayout* layout, lookup tx, float scale)
    : page_(page), layout_(layout), tx_(std::move(tx)), scale_(scale) {}

QLabel* page_builder::explain(text_ref t) {
    // A little air between one function and the next.
    if (layout_->count() > 0) layout_->addSpacing(px(6));
    QLabel* l = label(tx_(t));
    l->setWordWrap(true);
    l->setToolTip(l->text());
    layout_->addWidget(l);
    return l;
}

QLabel* page_builder::label(const QString& text) {
    auto* l = new QLabel(text, page_);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QComboBox* page_builder::list(const char* name, const QStringList& items) {
    auto* c = new QComboBox(page_);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(false);
    c->setMinimumWidth(px(70));
    c->setMaxVisibleItems(16);
    c->addItems(items);
    if (!items.isEmpty()) c->setCurrentIndex(0);
    return c;
}

QPushButton* page_builder::button(const char* name, text_ref t, std::function<void()> on_click) {
    return button(name, tx_(t), std::move(on_click));
}

QPushButton* page_builder::button(const char* name, const QString& text, std::function<void()> on_click) {
    auto* b = new QPushButton(button_text(text), page_);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setMinimumWidth(std::max(px(90), b->fontMetrics().horizontalAdvance(text) + px(24)));
    QObject::connect(b, &QPushButton::clicked, page_, std::move(on_click));
    return b;
}

QRadioButton* page_builder::radio(const char* name, text_ref t) {
    auto* r = new QRadioButton(tx_(t), page_);
    r->setObjectName(QString::fromLatin1(name));
    return r;
}

QWidget* page_builder::row(const std::vector<QWidget*>& widgets) {
    auto* w = new QWidget(page_);
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(px(8));
    for (QWidget* c : widgets) {
        c->setParent(w);
        h->addWidget(c);
    }
    h->addStretch(1);
    layout_->addWidget(w);
    return w;
}

void page_builder::add(QWidget* w, int stretch) { layout_->addWidget(w, stretch); }

void page_builder::end() { layout_->addStretch(1); }

button_list::button_list(int list_width, float scale, QWidget* parent) : QScrollArea(parent) {
    // Ten columns: the 25 pixels leave room for the scroll bar.
    button_width_ = (list_width - int(25 * scale)) / 10;
    button_height_ = int(40 * scale);
    scale_ = scale;
    // Long usage names need two lines in a tenth of the page.
    font_ = font();
    font_.setPixelSize(std::max(1, int(13 * scale)));
    setFixedWidth(list_width);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    inner_ = new QWidget;
    auto* g = new QGridLayout(inner_);
    g->setContentsMargins(0, 0, 0, 0);
    g->setSpacing(0);
    g->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWidget(inner_);
}

void button_list::add(const QString& caption, int value, const QString& name) {
    auto* b = new QPushButton(inner_);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setFixedSize(button_width_, button_height_);
    b->setFont(font_);
    b->setText(button_text(fit_caption(caption, QFontMetrics(font_), button_width_ - int(14 * scale_))));
    b->setToolTip(caption);
    const int i = count();
    static_cast<QGridLayout*>(inner_->layout())->addWidget(b, i / 10, i % 10);
    buttons_.push_back(b);
    connect(b, &QPushButton::clicked, this, [this, value] {
        if (on_choose) on_choose(value);
    });
}

} // namespace qvk
