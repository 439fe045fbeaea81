// Every text of the lighting pages goes through the lookup with its ID and
// built-in default, and the English language file has each of them.

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "lighting/backlight_page.h"
#include "lighting/indicator_action_page.h"
#include "lighting/indicator_page.h"
#include "lighting/lighting_texts.h"
#include "lighting_fixture.h"
#include "marked_texts.h"
#include "ui/colour_swatch.h"
#include "ui/value_bar.h"

namespace qvk::testing {
namespace {

namespace txt = lighting_text;

std::vector<text_default> lighting_texts() {
    std::vector<text_default> t;
    auto add = [&](const txt::text_id& x) { t.push_back({x.id, x.text}); };
    for (const auto& x : txt::bar_hints) add(x);
    for (const auto& x : txt::backlight_labels) add(x);
    for (const auto& x : txt::indicator_labels) add(x);
    for (const auto& x : txt::indicator_effects) add(x);
    for (const auto& x : txt::action_labels) add(x);
    for (const auto* x : {&txt::builtin_current, &txt::builtin_not_shown, &txt::custom_not_shown, &txt::custom_current,
                          &txt::adjustable_bar, &txt::nothing_adjustable, &txt::bead_driver, &txt::light_line,
                          &txt::indicator_save, &txt::indicator_save_hint, &txt::indicator_pick_ambient,
                          &txt::indicator_pick_ambient_hint, &txt::indicator_swatch_hint, &txt::indicator_key_light,
                          &txt::indicator_matrix_light, &txt::indicator_bead_light, &txt::action_save})
        add(*x);
    return t;
}

using LightingTexts = lighting_window;

TEST_F(LightingTexts, EnglishFileTranslatesEveryId) {
    QFile f(QStringLiteral(QVK_RESOURCES "/Language/English.ini"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString english = QString::fromUtf8(f.readAll());
    for (const text_default& t : lighting_texts())
        EXPECT_TRUE(english.contains(QStringLiteral("\n%1=").arg(t.id))) << t.id;
}

TEST_F(LightingTexts, PagesLookEachTextUpByItsIdWithItsDefault) {
    const std::vector<text_default> texts = lighting_texts();
    folder_.write("Language/A.ini", "[Language]\r\n");
    folder_.write("Language/B.ini", marking_language(texts));
    Tmain_form& w = open_board();
    w.action(QStringLiteral("led_bkl_lig"))->trigger();
    w.action(QStringLiteral("led_indicator_edit"))->trigger();
    w.action(QStringLiteral("indicator_action_edit"))->trigger();
    auto* bkl = dynamic_cast<Tled_bkl_edit_frame*>(w.page(c_bkl_lig_edit));
    auto* lights = dynamic_cast<Tbkl_indicator_edit_frame*>(w.page(c_bkl_indicator_edit));
    auto* actions = dynamic_cast<Tindicator_action_edit_frame*>(w.page(c_indicator_edit));
    ASSERT_TRUE(bkl && lights && actions);

    // What the pages show, with the IDs each should come from.
    auto shown = [&] {
        std::vector<std::pair<uint32_t, std::string>> s;
        for (int i = 0; i < 9; ++i)
            s.push_back({txt::backlight_labels[i].id,
                         w.page_panel(c_bkl_lig_edit)->findChild<QLabel*>(QStringLiteral("Label%1").arg(i + 1))->text().toStdString()});
        for (int t = 0; t < 4; ++t) s.push_back({900u + unsigned(t), bkl->brightness_bar(t)->toolTip().toStdString()});
        s.push_back({904, bkl->builtin_caption().toStdString()});
        s.push_back({906, bkl->custom_caption().toStdString()});
        s.push_back({909, bkl->speed_bar()->text().toStdString()}); // effect 0 has nothing to adjust
        for (int i = 0; i < 4; ++i) {
            s.push_back({txt::indicator_labels[i].id,
                         w.page_panel(c_bkl_indicator_edit)->findChild<QLabel*>(QStringLiteral("Label%1").arg(i + 1))->text().toStdString()});
            s.push_back({txt::indicator_effects[i].id, lights->effect_button(i)->text().toStdString()});
            s.push_back({txt::action_labels[i].id,
                         w.page_panel(c_indicator_edit)->findChild<QLabel*>(QStringLiteral("Label%1").arg(i + 1))->text().toStdString()});
        }
        s.push_back({1204, lights->save_button()->text().toStdString()});
        s.push_back({1205, lights->save_button()->toolTip().toStdString()});
        s.push_back({1206, lights->ambient_button()->text().toStdString()});
        s.push_back({1207, lights->ambient_button()->toolTip().toStdString()});
        s.push_back({1208, lights->swatch()->toolTip().toStdString()});
        s.push_back({1209, lights->light_text()->text().toStdString()});
        s.push_back({1404, actions->save_button()->text().toStdString()});
        return s;
    };
    const auto builtin = shown();
    w.language_combo()->setCurrentIndex(w.language_combo()->count() - 1);
    emit w.language_combo()->activated(w.language_combo()->count() - 1);
    const auto marked = shown();
    ASSERT_EQ(builtin.size(), marked.size());
    for (size_t i = 0; i < marked.size(); ++i) {
        EXPECT_NE(marked[i].second.find(marker(marked[i].first)), std::string::npos)
            << marked[i].first << ": " << marked[i].second;
        // A template's marker stands for the filled-in text.
        if (builtin[i].second.find('%') == std::string::npos && marked[i].first != 1209) {
            EXPECT_EQ(with_defaults(marked[i].second, texts), builtin[i].second) << marked[i].first;
        }
    }
}

} // namespace
} // namespace qvk::testing
