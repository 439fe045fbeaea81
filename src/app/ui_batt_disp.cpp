#include "app/ui_batt_disp.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include "common/text_format.h"
#include "link/battery_reply.h"

namespace qvk {

namespace {
constexpr QRgb back_colour = 0x06B025;
constexpr QRgb border_colour = 0xBCBCBC;
constexpr QRgb bar_colour = 0xFF8C1A;
constexpr int bar_inset = 2;
} // namespace

const char* const ui_batt_disp::hint_default =
    "电池电压=%.03fV 电池电量=%u% \r\n鼠标左键单击切换电压/电量显示\r\n鼠标右键单击更新当前电量\r\n电量值在关灯时，才会准确";

class ui_batt_disp::picture_label final : public QLabel {
public:
    picture_label(QWidget* parent, ui_batt_disp* owner) : QLabel(parent), owner_(owner) {}

protected:
    void mousePressEvent(QMouseEvent* e) override { owner_->clicked(e->button()); }
    void resizeEvent(QResizeEvent* e) override {
        QLabel::resizeEvent(e);
        owner_->redraw();
    }

private:
    ui_batt_disp* owner_;
};

ui_batt_disp::ui_batt_disp(QWidget* parent, text_lookup texts, std::function<void()> request_update)
    : texts_(std::move(texts)), request_update_(std::move(request_update)) {
    picture_ = new picture_label(parent, this);
    picture_->setObjectName(QStringLiteral("battery_image"));
    picture_->setCursor(Qt::PointingHandCursor);
}

ui_batt_disp::~ui_batt_disp() { delete picture_.data(); }

void ui_batt_disp::update(uint8_t level, double voltage) {
    level_ = level;
    voltage_ = voltage;
    fill_ = int(double(picture_->width() - 2) * level / 100.0);
    redraw();
}

void ui_batt_disp::update_from_reply(const uint8_t* payload) {
    update(payload[battery_reply::off_level], battery_reply::voltage_of(payload));
}

QString ui_batt_disp::shown_text() const {
    return QString::fromStdString(show_voltage_ ? format_template("%.03fV", {voltage_})
                                                : format_template("%u%", {int64_t(level_)}));
}

void ui_batt_disp::redraw() {
    if (!picture_) return;
    const int w = picture_->width();
    const int h = picture_->height();
    if (w <= 0 || h <= 0) return;
    QPixmap pm(w, h);
    QPainter p(&pm);
    // Rectangles cover their left and top edges but not their right and
    // bottom ones.
    p.setPen(QColor(border_colour));
    p.setBrush(QColor(back_colour));
    p.drawRect(0, 0, w - 1, h - 1);
    if (fill_ >= 1 && fill_ <= 100 && fill_ > bar_inset)
        p.fillRect(QRect(QPoint(bar_inset, bar_inset), QPoint(fill_ - 1, h - bar_inset - 1)), QColor(bar_colour));
    QFont f = p.font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    const QString text = shown_text();
    const QFontMetrics m(f);
    const int tw = m.horizontalAdvance(text);
    const int th = m.height();
    p.drawText(QRect((w - tw) / 2, (h - th) / 2, tw, th), Qt::AlignLeft | Qt::AlignTop, text);
    p.end();
    picture_->setPixmap(pm);

    const std::string tmpl = texts_ ? texts_(hint_text_id, hint_default).toStdString() : hint_default;
    QString hint = QString::fromStdString(format_template(tmpl, {voltage_, int64_t(level_)}));
    hint.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    picture_->setToolTip(hint);
}

void ui_batt_disp::clicked(Qt::MouseButton button) {
    if (button == Qt::LeftButton) {
        show_voltage_ = !show_voltage_;
        redraw();
    } else if (button == Qt::RightButton) {
        if (request_update_) request_update_();
    }
}

} // namespace qvk
