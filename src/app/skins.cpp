#include "app/skins.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <algorithm>
#include <array>

namespace qvk {

namespace {

// The styles in list order after the platform's own one, with the accent
// colour each is drawn in and whether its window body is dark.
struct skin_look {
    const char* name;
    QRgb accent;
    bool dark_body;
};

constexpr std::array<skin_look, 39> looks{{
    {"AMAKRITS", 0x2E3440, true},           {"AMETHYSTKAMRI", 0x9B7FC6, false},
    {"AQUAGRAPHITE", 0x3FA7B5, true},       {"AQUALIGHTSLATE", 0x7FC6D2, false},
    {"AURIC", 0xC9A227, true},              {"CARBON", 0x3A3A3A, true},
    {"CHARCOALDARKSLATE", 0x8FA3B8, false}, {"COBALTXEMEDIA", 0x2B5FA8, true},
    {"CYANDUSK", 0x2A8C99, true},           {"CYANNIGHT", 0x1C6E7A, true},
    {"EMERALDLIGHTSLATE", 0x4FB286, false}, {"GLOSSY", 0x303030, true},
    {"GLOW", 0xC8E6F5, false},              {"GOLDENGRAPHITE", 0xB8912F, true},
    {"ICEBERGCLASSICO", 0xA7C7DC, false},   {"LAVENDERCLASSICO", 0xB9A9D9, false},
    {"LIGHT", 0xE8E8E8, false},             {"LUNA", 0x3C6FD1, false},
    {"METROPOLISUIBLACK", 0xD0D0D0, true},  {"METROPOLISUIBLUE", 0x9CC3EB, true},
    {"METROPOLISUIDARK", 0x2D2D30, true},   {"METROPOLISUIGREEN", 0x3C8C4A, true},
    {"OBSIDIAN", 0xB4BCC8, false},          {"ONYXBLUE", 0xA9C4E2, true},
    {"RUBYGRAPHITE", 0xE0A0A8, true},       {"SAPPHIREKAMRI", 0xA8C0E8, false},
    {"SILVER", 0xC0C0C0, false},            {"SKY", 0xBFDDF5, false},
    {"SLATECLASSICO", 0x708090, false},     {"SMOKEYQUARTZKAMRI", 0xCDBFB0, false},
    {"TABLETDARK", 0x202020, true},         {"TABLETLIGHT", 0xF0F0F0, false},
    {"TURQUOISEGRAY", 0x40A0A0, false},     {"WINDOWS", 0xD8D8D8, false},
    {"WINDOWSBLUE", 0x1E78C8, false},       {"WINDOWSDARK", 0x2B2B2B, true},
    {"WINDOWSGREEN", 0x2E8B57, false},      {"WINDOWSPURPLE", 0x6A4C9C, false},
    {"WINDOWSSLATEGRAY", 0x5A6A7A, false},
}};

constexpr std::array<int, 17> black_indicator_skins{2, 4, 7, 13, 17, 19, 20, 24, 25, 26, 27, 29, 30, 32, 34, 36, 37};
constexpr QRgb platform_title = 0x1464BE;

const skin_look* look_of(int index) {
    if (index < 1 || index > int(looks.size())) return nullptr;
    return &looks[size_t(index - 1)];
}

QPalette palette_for(const skin_look& look) {
    const QColor accent(look.accent);
    QPalette pal;
    if (look.dark_body) {
        const QColor window(0x2B, 0x2D, 0x31), base(0x1F, 0x21, 0x24), text(0xE6, 0xE6, 0xE6);
        pal.setColor(QPalette::Window, window);
        pal.setColor(QPalette::WindowText, text);
        pal.setColor(QPalette::Base, base);
        pal.setColor(QPalette::AlternateBase, window);
        pal.setColor(QPalette::Text, text);
        pal.setColor(QPalette::Button, window.lighter(120));
        pal.setColor(QPalette::ButtonText, text);
        pal.setColor(QPalette::ToolTipBase, base);
        pal.setColor(QPalette::ToolTipText, text);
        pal.setColor(QPalette::PlaceholderText, text.darker(150));
    } else {
        const QColor window = QColor(0xF3, 0xF3, 0xF3);
        pal.setColor(QPalette::Window, window);
        pal.setColor(QPalette::WindowText, Qt::black);
        pal.setColor(QPalette::Base, Qt::white);
        pal.setColor(QPalette::AlternateBase, window);
        pal.setColor(QPalette::Text, Qt::black);
        pal.setColor(QPalette::Button, window);
        pal.setColor(QPalette::ButtonText, Qt::black);
    }
    pal.setColor(QPalette::Highlight, accent.lightness() > 200 ? accent.darker(160) : accent);
    pal.setColor(QPalette::HighlightedText, Qt::white);
    return pal;
}

} // namespace

const QStringList& skin_names() {
    static const QStringList names = [] {
        QStringList n{QStringLiteral("Windows")};
        for (const skin_look& l : looks) n << QString::fromLatin1(l.name);
        return n;
    }();
    return names;
}

void apply_skin(int index) {
    auto* app = qobject_cast<QApplication*>(QApplication::instance());
    if (!app) return;
    static QPalette platform_palette = app->palette();
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app->setStyle(fusion);
    const skin_look* look = look_of(index);
    app->setPalette(look ? palette_for(*look) : platform_palette);
}

QColor skin_title_colour(int index) {
    const skin_look* look = look_of(index);
    if (!look) return QColor(platform_title);
    const QColor accent(look->accent);
    // A light title bar on the skins whose indicator is black, a dark one on
    // the others, so that the indicator and the page label always show.
    auto blend = [&accent](QColor with, double share) {
        return QColor::fromRgbF(float(accent.redF() * (1 - share) + with.redF() * share),
                                float(accent.greenF() * (1 - share) + with.greenF() * share),
                                float(accent.blueF() * (1 - share) + with.blueF() * share));
    };
    if (busy_indicator_black(index)) return accent.lightness() >= 190 ? accent : blend(Qt::white, 0.65);
    return accent.lightness() <= 100 ? accent : blend(Qt::black, 0.45);
}

bool busy_indicator_black(int index) {
    return std::find(black_indicator_skins.begin(), black_indicator_skins.end(), index) != black_indicator_skins.end();
}

} // namespace qvk
