#include "app/device_list.h"

#include <QMouseEvent>

#include "app/device_pictures.h"

namespace qvk {

class device_list_view::entry_picture final : public QLabel {
public:
    entry_picture(QWidget* parent, uint32_t tag, std::function<void(uint32_t)> on_double_click)
        : QLabel(parent), tag_(tag), on_double_click_(std::move(on_double_click)) {}

protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton && on_double_click_) on_double_click_(tag_);
    }

private:
    uint32_t tag_;
    std::function<void(uint32_t)> on_double_click_;
};

device_list_view::device_list_view(QWidget* page, std::function<void(uint32_t)> on_double_click)
    : page_(page), on_double_click_(std::move(on_double_click)) {}

QRect device_list_view::picture_rect(uint32_t i, float scale) {
    const int w = int(picture_width * scale);
    const int h = int(picture_height * scale);
    const uint32_t p = i % per_row;
    const int left = int(float(p * uint32_t(w)) + first_left + float(p) * column_gap * scale);
    // The second row's top scales the picture height once more, as the
    // list has always been laid out.
    const int top = i < per_row ? int(first_top * scale) : int(float(h) * scale + first_top + row_gap * scale);
    return {left, top, w, h};
}

void device_list_view::create(uint32_t i) {
    if (!pictures_[i]) {
        auto* pic = new entry_picture(page_, i, on_double_click_);
        pic->setObjectName(QStringLiteral("device_picture_%1").arg(i));
        pic->setCursor(Qt::PointingHandCursor);
        pictures_[i] = pic;
    }
    if (!labels_[i]) {
        auto* l = new QLabel(page_);
        l->setObjectName(QStringLiteral("device_label_%1").arg(i));
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        l->setAttribute(Qt::WA_TranslucentBackground);
        labels_[i] = l;
    }
}

void device_list_view::draw_entry(uint32_t i, uint32_t kind, bool connected, const entry_text& text, float scale) {
    if (i >= max_entries) return;
    create(i);
    if (kind == 0) return;
    QLabel* pic = pictures_[i];
    QLabel* label = labels_[i];
    const QRect r = picture_rect(i, scale);
    pic->setGeometry(r);
    pic->setPixmap(device_picture(kind, connected, r.size()));
    pic->setToolTip(text.hint);
    kinds_[i] = kind;
    connected_[i] = connected;

    label->setText(text.caption);
    const int caption_w = label->fontMetrics().horizontalAdvance(text.caption);
    const int caption_h = label->fontMetrics().height() + 2;
    const int top = r.top() + r.height() + int(caption_gap * scale);
    if (caption_w > r.width())
        label->setGeometry(r.left() + (r.width() - caption_w) / 2, top, caption_w, caption_h);
    else
        label->setGeometry(r.left(), top, r.width(), caption_h);
    pic->show();
    label->show();
}

void device_list_view::hide_entry(uint32_t i) {
    if (i >= max_entries) return;
    if (pictures_[i]) pictures_[i]->hide();
    if (labels_[i]) labels_[i]->hide();
    kinds_[i] = 0;
    connected_[i] = false;
}

} // namespace qvk
