// The drawn controls the lighting pages share: which clicks a selector strip
// reports, how a value bar arms and disarms, and what a colour swatch takes.

#include <QTest>
#include <gtest/gtest.h>
#include <vector>

#include "ui/colour_swatch.h"
#include "ui/selector_strip.h"
#include "ui/value_bar.h"
#include "window_fixture.h"

namespace qvk::testing {
namespace {

TEST(SelectorStrip, ClicksSelectOnlyStrictlyInsideACellThatIsNotSelected) {
    selector_strip s;
    s.set_cells({"0", "1", "2", "3", "4"});
    s.place(0, 0, 108, 30); // cells of (108 - 4) / 5 = 20 pixels
    EXPECT_EQ(s.width(), 104);
    s.set_selected(1);
    std::vector<int> chosen;
    s.on_select = [&](int c) { chosen.push_back(c); };
    struct row {
        int x;
        Qt::MouseButton button;
        int reported; // -1: nothing
    };
    const row rows[] = {
        {1, Qt::LeftButton, -1},   {2, Qt::LeftButton, -1},  {3, Qt::LeftButton, 0},
        {22, Qt::LeftButton, -1},  // boundary between cells 0 and 1
        {30, Qt::LeftButton, -1},  // the selected cell
        {61, Qt::LeftButton, 2},   {101, Qt::LeftButton, 4}, {103, Qt::LeftButton, -1},
        {61, Qt::RightButton, -1}, {61, Qt::MiddleButton, -1},
    };
    for (const row& t : rows) {
        chosen.clear();
        QTest::mouseClick(&s, t.button, Qt::NoModifier, QPoint(t.x, 15));
        if (t.reported < 0)
            EXPECT_TRUE(chosen.empty()) << "x " << t.x;
        else
            EXPECT_EQ(chosen, std::vector<int>{t.reported}) << "x " << t.x;
    }
}

TEST(SelectorStrip, TwoRowsAndUpperHalfStrips) {
    selector_strip two;
    QStringList labels;
    for (int i = 0; i < 32; ++i) labels << QString::number(i);
    two.set_cells(labels, selector_strip::arrangement::two_rows);
    two.place(0, 0, 16 * 10 + 4, 40);
    EXPECT_EQ(two.cell_at(QPoint(2 + 3 * 10 + 5, 10)), 3);
    EXPECT_EQ(two.cell_at(QPoint(2 + 3 * 10 + 5, 30)), 19);

    selector_strip upper;
    upper.set_cells(labels.mid(0, 20), selector_strip::arrangement::upper_half);
    upper.place(0, 0, 20 * 10 + 4, 40);
    EXPECT_EQ(upper.cell_at(QPoint(2 + 14 * 10 + 5, 10)), 14);
    EXPECT_EQ(upper.cell_at(QPoint(2 + 14 * 10 + 5, 18)), 14);
    EXPECT_EQ(upper.cell_at(QPoint(2 + 14 * 10 + 5, 19)), -1); // below H / 2 - 2
    bool lower_drawn = false;
    upper.paint_lower = [&](QPainter&, const QRect& r) { lower_drawn = r.top() == 20; };
    upper.grab();
    EXPECT_TRUE(lower_drawn);
}

TEST(ValueBar, ArmsOnAnAcceptedLeftPressAndDisarmsOnRelease) {
    value_bar bar;
    bar.resize(104, 20);
    std::vector<std::pair<char, int>> seen;
    bool accept = false;
    bar.on_press = [&](int x) {
        seen.push_back({'p', x});
        return accept;
    };
    bar.on_drag = [&](int x) { seen.push_back({'d', x}); };
    bar.on_release = [&](Qt::MouseButton b, int x) { seen.push_back({b == Qt::LeftButton ? 'r' : 'o', x}); };

    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
    QTest::mouseMove(&bar, QPoint(20, 5));
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(20, 5));
    EXPECT_EQ(seen, (std::vector<std::pair<char, int>>{{'p', 10}})); // refused: no drag, no release

    seen.clear();
    accept = true;
    QTest::mousePress(&bar, Qt::RightButton, Qt::NoModifier, QPoint(10, 5));
    EXPECT_TRUE(seen.empty());
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
    EXPECT_TRUE(bar.armed());
    QMouseEvent move(QEvent::MouseMove, QPointF(30, 5), QPointF(30, 5), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&bar, &move);
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(31, 5));
    EXPECT_FALSE(bar.armed());
    EXPECT_EQ(seen, (std::vector<std::pair<char, int>>{{'p', 10}, {'d', 30}, {'r', 31}}));

    bar.set_active(false);
    seen.clear();
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(bar.text_colour(), value_bar::inactive_text);
}

TEST(ValueBar, TextTurnsToItsOverFillColourOnceTheFillReachesIt) {
    value_bar bar;
    bar.resize(200, 20);
    bar.set_text(QStringLiteral("50%"));
    bar.set_text_colour_over_fill(0x000000);
    bar.set_fill(10);
    EXPECT_EQ(bar.text_colour(), 0xFFFFFFu);
    bar.set_fill(150);
    EXPECT_EQ(bar.text_colour(), 0x000000u);
}

TEST(ColourSwatch, LeftTakesTheDialogsColourRightARandomOne) {
    scripted_dialogs dialogs;
    colour_swatch s;
    s.set_colour(0x123456);
    EXPECT_TRUE(s.pick(Qt::LeftButton, dialogs));
    EXPECT_EQ(s.colour(), 0x123456u); // the dialog confirmed the preset colour
    std::srand(3);
    for (int i = 0; i < 50; ++i) {
        EXPECT_TRUE(s.pick(Qt::RightButton, dialogs));
        EXPECT_NE(s.colour() & 0xFF, 0xFFu);
        EXPECT_NE(s.colour() >> 16, 0xFFu);
    }
    const QRgb before = s.colour();
    EXPECT_FALSE(s.pick(Qt::MiddleButton, dialogs));
    EXPECT_EQ(s.colour(), before);

    colour_palette palette(14, 20, 4);
    std::vector<std::pair<int, Qt::MouseButton>> clicks;
    palette.on_click = [&](int i, Qt::MouseButton b) { clicks.push_back({i, b}); };
    QTest::mouseClick(palette.swatch(13), Qt::MiddleButton);
    EXPECT_EQ(clicks, (std::vector<std::pair<int, Qt::MouseButton>>{{13, Qt::MiddleButton}}));
    EXPECT_EQ(palette.swatch(13)->objectName(), QStringLiteral("icon_c13"));
}

} // namespace
} // namespace qvk::testing
