#include "lighting/user_led_select.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "lighting/led_state.h"
#include "lighting/lighting_texts.h"

namespace qvk {

namespace txt = lighting_text;

QString ambient_light_line(const ambient_light& light, const uint8_t* led_state,
                           const Tuser_led_select::text_lookup& lng) {
    QString driver;
    if (light.led.is_bead()) {
        const unsigned p = light.led.chain_pos();
        driver = txt::fill(lng(txt::bead_driver.id, txt::bead_driver.text),
                           {int64_t(p), int64_t(led::bead_brightness(led_state, p))});
    } else {
        driver = txt::fill(QString::fromLatin1(txt::matrix_driver), {int64_t(light.led.x()), int64_t(light.led.y())});
    }
    return txt::fill(lng(txt::light_line.id, txt::light_line.text), {int64_t(light.number), driver.toStdString()});
}

Tuser_led_select::Tuser_led_select(const uint8_t* kb_layout, uint8_t* led_state, unsigned indicator,
                                   const text_lookup& lng, QWidget* parent)
    : QDialog(parent), led_state_(led_state), indicator_(indicator), lights_(ambient_lights(kb_layout)) {
    setObjectName(QStringLiteral("Tuser_led_select"));
    setWindowTitle(QString::fromLatin1(txt::picker_caption));
    auto* lay = new QVBoxLayout(this);
    light_list_ = new QListWidget(this);
    light_list_->setObjectName(QStringLiteral("ListBox1"));
    light_list_->setToolTip(QString::fromUtf8(txt::picker_hint));
    lay->addWidget(light_list_);
    for (const ambient_light& l : lights_) light_list_->addItem(ambient_light_line(l, led_state_, lng));
    connect(light_list_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { choose(light_list_->row(item)); });
    resize(360, 320);
}

void Tuser_led_select::choose(int line) {
    uint8_t* ind = led::indicator::at(led_state_, indicator_);
    if (!ind || line < 0 || line >= int(lights_.size())) return;
    const user_led& l = lights_[size_t(line)].led;
    const uint32_t w = led::indicator::word(ind);
    led::indicator::set_word(ind, l.is_bead() ? led::indicator::with_bead(w, l.chain_pos())
                                              : led::indicator::with_matrix_cell(w, l.x(), l.y()));
    accept();
}

} // namespace qvk
