// The on-screen keyboard and the list of further usages of the picker's
// key page.

#include <QFont>
#include <QFontMetrics>
#include <QPushButton>

#include "functions/func_sel_widgets.h"

namespace qvk {

namespace {

// One key cap; positions and sizes in quarters of a key.
struct key_cap {
    uint8_t usage;
    const char* caption;
    uint8_t x, y, w = 4, h = 4;
};

// Full-size layout with the two European keys: function row, a gap, the
// main block (15 keys wide), the navigation block and the keypad.
constexpr key_cap key_caps[] = {
    // Function row.
    {0x29, "ESC", 0, 0},
    {0x3A, "F1", 8, 0}, {0x3B, "F2", 12, 0}, {0x3C, "F3", 16, 0}, {0x3D, "F4", 20, 0},
    {0x3E, "F5", 26, 0}, {0x3F, "F6", 30, 0}, {0x40, "F7", 34, 0}, {0x41, "F8", 38, 0},
    {0x42, "F9", 44, 0}, {0x43, "F10", 48, 0}, {0x44, "F11", 52, 0}, {0x45, "F12", 56, 0},
    {0x46, "PrtSc", 62, 0}, {0x47, "ScrLk", 66, 0}, {0x48, "Pause", 70, 0},
    // Number row.
    {0x35, "`  ~", 0, 6}, {0x1E, "1  !", 4, 6}, {0x1F, "2  @", 8, 6}, {0x20, "3  #", 12, 6},
    {0x21, "4  $", 16, 6}, {0x22, "5  %", 20, 6}, {0x23, "6  ^", 24, 6}, {0x24, "7  &", 28, 6},
    {0x25, "8  *", 32, 6}, {0x26, "9  (", 36, 6}, {0x27, "0  )", 40, 6}, {0x2D, "-  _", 44, 6},
    {0x2E, "=  +", 48, 6}, {0x2A, "BackSpace", 52, 6, 8},
    {0x49, "Insert", 62, 6}, {0x4A, "Home", 66, 6}, {0x4B, "PgUp", 70, 6},
    {0x53, "NUM", 76, 6}, {0x54, "/", 80, 6}, {0x55, "*", 84, 6}, {0x56, "-", 88, 6},
    // Top letter row.
    {0x2B, "Tab", 0, 10, 6}, {0x14, "Q", 6, 10}, {0x1A, "W", 10, 10}, {0x08, "E", 14, 10},
    {0x15, "R", 18, 10}, {0x17, "T", 22, 10}, {0x1C, "Y", 26, 10}, {0x18, "U", 30, 10},
    {0x0C, "I", 34, 10}, {0x12, "O", 38, 10}, {0x13, "P", 42, 10}, {0x2F, "[  {", 46, 10},
    {0x30, "]  }", 50, 10}, {0x31, "\\  |", 54, 10, 6},
    {0x4C, "Delete", 62, 10}, {0x4D, "End", 66, 10}, {0x4E, "PgDn", 70, 10},
    {0x5F, "7", 76, 10}, {0x60, "8", 80, 10}, {0x61, "9", 84, 10}, {0x57, "+", 88, 10, 4, 8},
    // Home row.
    {0x39, "CapsLock", 0, 14, 7}, {0x04, "A", 7, 14}, {0x16, "S", 11, 14}, {0x07, "D", 15, 14},
    {0x09, "F", 19, 14}, {0x0A, "G", 23, 14}, {0x0B, "H", 27, 14}, {0x0D, "J", 31, 14},
    {0x0E, "K", 35, 14}, {0x0F, "L", 39, 14}, {0x33, ";  :", 43, 14}, {0x34, "'  \"", 47, 14},
    {0x32, "Europ1", 51, 14}, {0x28, "Enter", 55, 14, 5},
    {0x5C, "4", 76, 14}, {0x5D, "5", 80, 14}, {0x5E, "6", 84, 14},
    // Bottom letter row.
    {0xE1, "L_Shift", 0, 18, 5}, {0x64, "Europ2", 5, 18}, {0x1D, "Z", 9, 18}, {0x1B, "X", 13, 18},
    {0x06, "C", 17, 18}, {0x19, "V", 21, 18}, {0x05, "B", 25, 18}, {0x11, "N", 29, 18},
    {0x10, "M", 33, 18}, {0x36, ",  <", 37, 18}, {0x37, ".  >", 41, 18}, {0x38, "/  ?", 45, 18},
    {0xE5, "R_Shift", 49, 18, 11},
    {0x52, "Up", 66, 18},
    {0x59, "1", 76, 18}, {0x5A, "2", 80, 18}, {0x5B, "3", 84, 18}, {0x58, "Enter", 88, 18, 4, 8},
    // Space row.
    {0xE0, "L_Ctrl", 0, 22, 5}, {0xE3, "L_Win", 5, 22, 5}, {0xE2, "L_Alt", 10, 22, 5},
    {0x2C, "SPACE", 15, 22, 25}, {0xE6, "R_Alt", 40, 22, 5}, {0xE7, "R_Win", 45, 22, 5},
    {0x65, "App", 50, 22, 5}, {0xE4, "R_Ctrl", 55, 22, 5},
    {0x50, "Left", 62, 22}, {0x51, "Down", 66, 22}, {0x4F, "Right", 70, 22},
    {0x62, "0", 76, 22, 8}, {0x63, ".", 84, 22},
};
static_assert(std::size(key_caps) == keyboard_widget::key_count);

// Design size of one key (a quarter is a fourth of it).
constexpr float key_width = 42.0f;
constexpr float key_height = 36.0f;
constexpr int layout_quarters_wide = 92;
constexpr int layout_quarters_high = 26;

const char* const usage_captions[usage_list_count] = {
    "Keyboard Power", "Keypad =", "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24",
    "Execute", "Help", "Menu", "Select", "Stop", "Again", "Undo", "Cut", "Copy", "Paste", "Find", "Mute",
    "Volume Up", "Volume Down", "Locking Caps Lock", "Locking Num Lock", "Locking Scroll Lock", "Comma",
    "Equal Sign", "International1", "International2", "International3", "International4", "International5",
    "International6", "International7", "International8", "International9", "LANG1", "LANG2", "LANG3", "LANG4",
    "LANG5", "LANG6", "LANG7", "LANG8", "LANG9", "Alternate Erase", "SysReq/Attention", "Cancel", "Clear", "Prior",
    "Return", "Separator", "Out", "Oper", "Clear/Again", "CrSel/Props", "ExSel",
    // 0xB0-
    "PAD_00", "PAD_000", "Thousands Separator", "Decimal Separator", "Currency Unit", "Currency Sub-unit",
    "Keypad (", "Keypad )", "Keypad {", "Keypad }", "Keypad Tab", "Keypad Backspace", "Keypad A", "Keypad B",
    "Keypad C", "Keypad D", "Keypad E", "Keypad F", "Keypad XOR", "Keypad ^", "Keypad %", "Keypad <", "Keypad >",
    "Keypad &", "Keypad &&", "Keypad |", "Keypad ||", "Keypad :", "Keypad #", "Keypad Space", "Keypad @",
    "Keypad !", "Memory Store", "Memory Recall", "Memory Clear", "Memory Add", "Memory Subtract",
    "Memory Multiply", "Memory Divide", "Keypad +/-", "Keypad Clear", "Clear Entry", "Binary", "Octal", "Decimal",
    "Hexadecimal"};

// Items 0-62 are usages 0x66-0xA4, items 63-108 usages 0xB0-0xDD.
constexpr int first_block_count = 0xA4 - 0x66 + 1;

} // namespace

uint8_t usage_list_code(int i) { return uint8_t(i < first_block_count ? 0x66 + i : 0xB0 + (i - first_block_count)); }

const char* usage_list_caption(int i) { return i >= 0 && i < usage_list_count ? usage_captions[i] : ""; }

keyboard_widget::keyboard_widget(float scale, QWidget* parent) : QWidget(parent) {
    const float qw = key_width * scale / 4, qh = key_height * scale / 4;
    setFixedSize(int(layout_quarters_wide * qw), int(layout_quarters_high * qh));
    QFont f = font();
    f.setPixelSize(std::max(1, int(12 * scale)));
    for (const key_cap& k : key_caps) {
        auto* b = new QPushButton(button_text(QString::fromLatin1(k.caption)), this);
        b->setObjectName(QStringLiteral("key_%1").arg(k.usage, 2, 16, QLatin1Char('0')));
        b->setAutoDefault(false);
        b->setFont(f);
        const int x = int(k.x * qw), y = int(k.y * qh);
        // Edges from the next key's start, so neighbours never overlap or gap.
        b->setGeometry(x, y, int((k.x + k.w) * qw) - x, int((k.y + k.h) * qh) - y);
        // A legend too wide for its key gets a smaller font.
        QFont kf = f;
        while (kf.pixelSize() > 6 && QFontMetrics(kf).horizontalAdvance(b->text()) > b->width() - int(6 * scale))
            kf.setPixelSize(kf.pixelSize() - 1);
        if (kf != f) b->setFont(kf);
        const uint8_t usage = k.usage;
        connect(b, &QPushButton::clicked, this, [this, usage] {
            if (on_choose) on_choose(usage);
        });
    }
}

} // namespace qvk
