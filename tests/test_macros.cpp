// The macro group records: deleting and inserting steps on a full and an
// empty group, text typed as steps (what fits, what does not, what no key
// types), and .macro files on disk (round trip, the checks a file must pass
// and what a failed write leaves behind).

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "macros/macro_file.h"
#include "macros/macro_group.h"
#include "macros/macro_text.h"
#include "temp_dir.h"

namespace qvk::testing {
namespace {

using bytes = std::vector<uint8_t>;

// Every step different and none empty: kind 2, bytes 1-2 the step number.
macro_group full_group() {
    macro_group g{};
    for (size_t i = 0; i < macro::step_count; ++i) {
        uint8_t* s = macro::step_bytes(g, i);
        s[0] = fk_key;
        s[1] = uint8_t(i);
        s[2] = uint8_t(i >> 8);
        s[3] = 0x77;
    }
    return g;
}

// The steps of a group as a list, for a plain model of the edits to compare
// with.
std::vector<func_code> steps_of(const macro_group& g) {
    std::vector<func_code> v;
    for (size_t i = 0; i < macro::step_count; ++i) v.push_back(macro::step_code(g, i));
    return v;
}

// ---------------------------------------------------------------- steps

enum class edit { blank, remove, insert };

struct edit_case {
    const char* name;
    edit op;
    std::vector<size_t> rows; // insert: the first row is the position
};

const edit_case edit_cases[] = {
    {"blank the first, a middle and the last step", edit::blank, {0, 255, 511}},
    {"delete the first step", edit::remove, {0}},
    {"delete a middle step", edit::remove, {255}},
    {"delete the last step", edit::remove, {511}},
    {"delete steps 5 and 10 together", edit::remove, {5, 10}},
    {"delete the first and the last step, chosen last one first", edit::remove, {511, 0}},
    {"delete a row chosen twice and a row beyond the group", edit::remove, {7, 7, 600}},
    {"delete three neighbours", edit::remove, {300, 301, 302}},
    {"insert at the first step", edit::insert, {0}},
    {"insert at a middle step", edit::insert, {255}},
    {"insert at the last step", edit::insert, {511}},
};

TEST(MacroSteps, DeleteAndInsertAtTheEdgesAndInTheMiddleOfAFullAndAnEmptyGroup) {
    for (const bool full : {true, false}) {
        for (const edit_case& c : edit_cases) {
            SCOPED_TRACE(::testing::Message() << c.name << (full ? ", full group" : ", empty group"));
            macro_group g = full ? full_group() : macro_group{};
            // The model: a plain list where a deleted step leaves by erase
            // and an inserted one comes in by insert, the group staying 512
            // steps long.
            std::vector<func_code> want = steps_of(g);
            switch (c.op) {
            case edit::blank:
                macro::blank_steps(g, c.rows);
                for (size_t r : c.rows) want[r][0] = 0;
                break;
            case edit::remove: {
                macro::delete_steps(g, c.rows);
                std::vector<size_t> rows;
                for (size_t r : c.rows)
                    if (r < 512 && std::find(rows.begin(), rows.end(), r) == rows.end()) rows.push_back(r);
                std::sort(rows.rbegin(), rows.rend());
                for (size_t r : rows) {
                    want.erase(want.begin() + long(r));
                    want.push_back(func_code{});
                }
                break;
            }
            case edit::insert:
                macro::insert_steps(g, c.rows[0], 1);
                want.insert(want.begin() + long(c.rows[0]), func_code{});
                want.pop_back();
                break;
            }
            EXPECT_EQ(steps_of(g), want);
        }
    }
}

TEST(MacroSteps, EdgeCasesOfTheListOperations) {
    macro_group g = full_group();
    // Deleting rows 5 and 10 removes what they showed; the two last steps
    // become empty.
    macro::delete_steps(g, std::vector<size_t>{10, 5});
    EXPECT_EQ(macro::step_code(g, 5), (func_code{2, 6, 0, 0x77}));
    EXPECT_EQ(macro::step_code(g, 9), (func_code{2, 11, 0, 0x77}));
    EXPECT_EQ(macro::step_code(g, 509), (func_code{2, 0xFF, 1, 0x77}));
    EXPECT_EQ(macro::step_code(g, 510), func_code{});
    EXPECT_EQ(macro::step_code(g, 511), func_code{});

    // Inserting at step 0 of a full group loses its last step.
    g = full_group();
    EXPECT_EQ(macro::steps_pushed_off(g, 0, 1), 1u);
    macro::insert_steps(g, 0, 1);
    EXPECT_EQ(macro::step_code(g, 0), func_code{});
    EXPECT_EQ(macro::step_code(g, 511), (func_code{2, 0xFE, 1, 0x77}));

    // Blanking keeps the parameter bytes.
    macro::step_bytes(g, 3)[0] = 0x12;
    macro::step_bytes(g, 3)[1] = 0x34;
    macro::step_bytes(g, 3)[2] = 0x56;
    macro::step_bytes(g, 3)[3] = 0x78;
    macro::blank_step(g, 3);
    EXPECT_EQ(macro::step_code(g, 3), (func_code{0, 0x34, 0x56, 0x78}));
    EXPECT_TRUE(macro::step_empty(g, 3));
}

TEST(MacroSteps, InsertingSeveralStepsAndWhatItPushesOff) {
    macro_group g{};
    for (size_t i : {0u, 100u, 508u, 510u}) macro::step_bytes(g, i)[0] = fk_delay;
    struct pushed {
        size_t at, count, lost;
    };
    const pushed cases[] = {
        {0, 1, 0}, {0, 2, 1}, {0, 4, 2}, {0, 5, 2}, {0, 411, 2}, {0, 412, 3}, {500, 12, 2}, {511, 1, 0},
        {0, 0, 0},   // nothing inserted
        {501, 12, 0}, // does not fit: nothing would be inserted
    };
    for (const pushed& c : cases)
        EXPECT_EQ(macro::steps_pushed_off(g, c.at, c.count), c.lost) << c.at << " + " << c.count;

    macro::insert_steps(g, 100, 3);
    // 100 moved to 103 and 508 to 511; 510 dropped off.
    for (size_t i : {0u, 103u, 511u}) EXPECT_FALSE(macro::step_empty(g, i)) << i;
    for (size_t i : {100u, 101u, 102u, 510u}) EXPECT_TRUE(macro::step_empty(g, i)) << i;
    // One too many changes nothing.
    const macro_group before = g;
    macro::insert_steps(g, 500, 13);
    EXPECT_EQ(g, before);
}

// ---------------------------------------------------------------- text

std::vector<func_code> steps_of(const macro_steps& s) {
    std::vector<func_code> v;
    for (size_t i = 0; i < s.count; ++i) v.push_back(macro::step_code(s.steps, i));
    return v;
}

constexpr func_code key(uint8_t usage) { return {fk_key, usage, 0, 0}; }
constexpr func_code shift_down{fk_key_edge, 0xE1, 1, 0};
constexpr func_code shift_up{fk_key_edge, 0xE1, 0, 0};

TEST(MacroText, CharactersBecomeKeyStepsWithShiftAroundShiftedRuns) {
    struct text_case {
        std::u16string text;
        std::vector<func_code> steps;
    };
    const text_case cases[] = {
        {u"", {}},
        {u"az09", {key(0x04), key(0x1D), key(0x27), key(0x26)}},
        {u"ab\r\nc", {key(0x04), key(0x05), key(0x28), key(0x06)}},
        {u"a\nb\rc", {key(0x04), key(0x28), key(0x05), key(0x28), key(0x06)}},
        {u"Hello World!",
         {shift_down, key(0x0B), shift_up, key(0x08), key(0x0F), key(0x0F), key(0x12), key(0x2C), shift_down,
          key(0x1A), shift_up, key(0x12), key(0x15), key(0x0F), key(0x07), shift_down, key(0x1E), shift_up}},
        {u"AB", {shift_down, key(0x04), key(0x05), shift_up}},
        {u"-_=+[{]}\\|;:'\"`~,<.>/?\t",
         {key(0x2D), shift_down, key(0x2D), shift_up, key(0x2E), shift_down, key(0x2E), shift_up,
          key(0x2F), shift_down, key(0x2F), shift_up, key(0x30), shift_down, key(0x30), shift_up,
          key(0x31), shift_down, key(0x31), shift_up, key(0x33), shift_down, key(0x33), shift_up,
          key(0x34), shift_down, key(0x34), shift_up, key(0x35), shift_down, key(0x35), shift_up,
          key(0x36), shift_down, key(0x36), shift_up, key(0x37), shift_down, key(0x37), shift_up,
          key(0x38), shift_down, key(0x38), shift_up, key(0x2B)}},
        {u"@#$%^&*()", {shift_down, key(0x1F), key(0x20), key(0x21), key(0x22), key(0x23), key(0x24), key(0x25),
                        key(0x26), key(0x27), shift_up}},
    };
    for (const text_case& c : cases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        const macro_steps s = macro_text::convert(c.text);
        EXPECT_EQ(steps_of(s), c.steps);
        EXPECT_EQ(macro_text::count(c.text, 0).needed, int(c.steps.size()));
        // The block beyond the steps stays empty.
        for (size_t i = s.count; i < macro::step_count; ++i) ASSERT_EQ(macro::step_code(s.steps, i), func_code{});
    }
}

TEST(MacroText, RoomLeftDecidesAndUntypeableCharactersAreRefused) {
    struct room_case {
        std::u16string text;
        size_t position;
        int max, needed, remaining;
        macro_text::verdict verdict;
    };
    using enum macro_text::verdict;
    const room_case cases[] = {
        {u"hello world", 501, 11, 11, 0, ok},          // fits exactly
        {u"hello world!", 501, 11, 14, -3, too_long},  // one character (three steps) too many
        {u"hello worlds", 501, 11, 12, -1, too_long},  // one step too many
        {u"ab", 511, 1, 2, -1, too_long},
        {u"a", 511, 1, 1, 0, ok},
        {u"", 0, 512, 0, 512, ok},
        {u"", 511, 1, 0, 1, ok},
        {u"a-b", 0, 512, 3, 509, ok},
        {u"a\u00e9b", 0, 512, 3, 509, unconvertible},   // é: no key of its own
        {u"\u4e2d", 0, 512, 1, 511, unconvertible},
        {u"\U0001F600", 0, 512, 2, 510, unconvertible}, // two UTF-16 units, neither typed
        {u"x\u00e9", 511, 1, 2, -1, unconvertible},     // what no key types is named first
        {std::u16string(512, u'a'), 0, 512, 512, 0, ok},
        {std::u16string(513, u'a'), 0, 512, 513, -1, too_long},
    };
    for (const room_case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "text of " << c.text.size() << " at " << c.position);
        const macro_text::room r = macro_text::count(c.text, c.position);
        EXPECT_EQ(r.max, c.max);
        EXPECT_EQ(r.needed, c.needed);
        EXPECT_EQ(r.remaining, c.remaining);
        EXPECT_EQ(macro_text::check(c.text, c.position), c.verdict);
    }
}

TEST(MacroText, StepsAreInsertedAtThePositionAndPushTheRestDown) {
    macro_group g = full_group();
    const macro_steps s = macro_text::convert(u"Hi");
    ASSERT_EQ(s.count, 4u);
    macro_text::insert(g, 10, s);
    EXPECT_EQ(macro::step_code(g, 9), (func_code{2, 9, 0, 0x77}));
    EXPECT_EQ(macro::step_code(g, 10), shift_down);
    EXPECT_EQ(macro::step_code(g, 11), key(0x0B));
    EXPECT_EQ(macro::step_code(g, 12), shift_up);
    EXPECT_EQ(macro::step_code(g, 13), key(0x0C));
    EXPECT_EQ(macro::step_code(g, 14), (func_code{2, 10, 0, 0x77}));
    EXPECT_EQ(macro::step_code(g, 511), (func_code{2, 0xFB, 1, 0x77}));

    // Steps that do not fit change nothing; none change nothing.
    const macro_group before = g;
    macro_text::insert(g, 509, s);
    macro_text::insert(g, 0, macro_steps{});
    EXPECT_EQ(g, before);
    macro_text::insert(g, 508, s);
    EXPECT_EQ(macro::step_code(g, 508), shift_down);
    EXPECT_EQ(macro::step_code(g, 511), key(0x0C));
}

// ---------------------------------------------------------------- files

class MacroFiles : public ::testing::Test {
protected:
    std::string write_file(const std::string& name, const bytes& content) {
        return dir.write(name, std::string(content.begin(), content.end()));
    }
    bytes read_file(const std::string& name) const {
        const std::string s = dir.read(name);
        return bytes(s.begin(), s.end());
    }
    static bytes file_bytes(const std::vector<uint8_t>& magic, const macro_group& g) {
        bytes b = magic;
        b.insert(b.end(), g.begin(), g.end());
        return b;
    }
    temp_dir dir;
};

const bytes macro_magic = {0x54, 0x27, 0x69, 0x23};

TEST_F(MacroFiles, SavedFileIsMagicThenTheGroupAndLoadsBackByteForByte) {
    const macro_group g = full_group();
    const std::string path = dir.file("g.macro");
    ASSERT_EQ(save_macro_file(path, g), layer_file_result::ok);
    EXPECT_EQ(read_file("g.macro"), file_bytes(macro_magic, g));
    macro_group back{};
    ASSERT_EQ(load_macro_file(path, back), layer_file_result::ok);
    EXPECT_EQ(back, g);
}

TEST_F(MacroFiles, FilesThatFailACheckLeaveTheGroupAlone) {
    const macro_group good = full_group();
    bytes short_file = file_bytes(macro_magic, good);
    short_file.pop_back();
    bytes long_file = file_bytes(macro_magic, good);
    long_file.push_back(0);
    struct file_case {
        const char* name;
        bytes content;
        layer_file_result want;
    };
    const file_case cases[] = {
        {"2051 bytes", short_file, layer_file_result::wrong_size},
        {"2053 bytes", long_file, layer_file_result::wrong_size},
        {"empty", {}, layer_file_result::wrong_size},
        {"a function-layer magic", file_bytes({0x52, 0x27, 0x69, 0x23}, good), layer_file_result::bad_magic},
        {"magic in the wrong byte order", file_bytes({0x23, 0x69, 0x27, 0x54}, good), layer_file_result::bad_magic},
    };
    int n = 0;
    for (const file_case& c : cases) {
        SCOPED_TRACE(c.name);
        macro_group g{};
        g.fill(0xA5);
        const macro_group before = g;
        EXPECT_EQ(load_macro_file(write_file("f" + std::to_string(n++), c.content), g), c.want);
        EXPECT_EQ(g, before);
    }
    macro_group g{};
    EXPECT_EQ(load_macro_file(dir.file("missing.macro"), g), layer_file_result::open_failed);
    std::filesystem::create_directory(dir.file("folder.macro"));
    EXPECT_EQ(load_macro_file(dir.file("folder.macro"), g), layer_file_result::wrong_size);
    EXPECT_EQ(g, macro_group{});
}

// A write that stops half way (here: the file size limit of the process)
// leaves the file that was there as it was, and no stray file beside it.
TEST_F(MacroFiles, FailedWriteKeepsTheOldFile) {
    const std::string path = dir.file("g.macro");
    const macro_group old_group{};
    ASSERT_EQ(save_macro_file(path, old_group), layer_file_result::ok);
    const bytes old_file = read_file("g.macro");

    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    auto* old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const layer_file_result r = save_macro_file(path, full_group());
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_EQ(r, layer_file_result::write_failed);
    EXPECT_EQ(read_file("g.macro"), old_file);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

} // namespace
} // namespace qvk::testing
