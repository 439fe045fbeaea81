// Key names from the key-code files and texts from the language files.

#include <gtest/gtest.h>

#include "functions/key_code_convert.h"
#include "temp_dir.h"

namespace qvk::testing {
namespace {

class KeyNames : public ::testing::Test {
protected:
    void SetUp() override {
        d.write("KeyBoardCode.ini", "[KeyBoardCode]\r\n0x04=A\r\n0x0e=K\r\n0x4=never\r\n0x28=\r\n");
        d.write("MediaKeyCode.ini", "[ConsumerKeyCode]\r\n0x00E9=Vol Up\r\n0xE2=Mute\r\nnonsense=Odd\r\n");
    }
    temp_dir d;
};

TEST_F(KeyNames, LookUpByUsage) {
    const key_code_convert k(d.file("qvk-tools"));
    struct row {
        int selector;
        uint16_t code;
        const char* expected;
    };
    const row rows[] = {
        {0, 0x04, "A(0x04)"},
        {0, 0x05, "ERR"},
        {0, 0x0E, "K(0x0e)"},          // written in lower case, shown as written
        {0, 0x28, "(0x28)"},           // empty name
        {0, 0x0104, "A(0x04)"},        // keyboard codes use the low byte
        {1, 0x00E9, "Vol Up(0x00E9)"},
        {1, 0x00E2, "ERR"},            // two-digit key never matches a consumer usage
        {2, 0x04, "ERR"},
        {-1, 0x04, "ERR"},
    };
    for (const row& r : rows) EXPECT_EQ(k.usage_to_str(r.selector, r.code), r.expected) << r.selector << " " << r.code;
}

TEST_F(KeyNames, ConsumerListForThePicker) {
    const key_code_convert k(d.file("qvk-tools"));
    ASSERT_EQ(k.consumer_names(), (std::vector<std::string>{"Vol Up", "Mute", "Odd"}));
    EXPECT_EQ(k.consumer_code(0), 0x00E9);
    EXPECT_EQ(k.consumer_code(1), 0x00E2);
    EXPECT_EQ(k.consumer_code(2), 0); // a key that is not a number
}

TEST(KeyNamesMissing, NoFilesGiveErrAndAnEmptyList) {
    temp_dir d;
    const key_code_convert k(d.file("qvk-tools"));
    EXPECT_EQ(k.key_code_to_str(0x04), "ERR");
    EXPECT_TRUE(k.consumer_keys().empty());
    EXPECT_EQ(k.language_count(), 0);
    EXPECT_EQ(k.get_lng_text(0, "默认"), "默认");
}

TEST(ShippedKeyNames, NameEveryKeyboardUsage) {
    const key_code_convert k(std::string(QVK_RESOURCES) + "/qvk-tools");
    for (int u = 0x04; u <= 0xE7; ++u) {
        if ((u > 0xA4 && u < 0xB0) || (u > 0xDD && u < 0xE0)) continue;
        EXPECT_NE(k.key_code_to_str(uint8_t(u)), "ERR") << u;
    }
    EXPECT_EQ(k.media_code_to_str(0x00E9), "Volume Up(0x00E9)");
    EXPECT_EQ(k.media_code_to_str(0x00CD), "Play/Pause(0x00CD)");
}

class Languages : public ::testing::Test {
protected:
    key_code_convert make() { return key_code_convert(d.file("qvk-tools")); }
    temp_dir d;
};

TEST_F(Languages, ListedByNameInAStableOrder) {
    d.write("Language/Zulu.ini", "[Language]\n0=z\n");
    d.write("Language/English.ini", "[Language]\n0=e\n");
    d.write("Language/notes.txt", "x");
    d.write("Language/deeper/Other.ini", "[Language]\n0=o\n");
    key_code_convert k = make();
    ASSERT_EQ(k.language_count(), 2);
    EXPECT_EQ(k.language_name(0), "English");
    EXPECT_EQ(k.language_name(1), "Zulu");
    EXPECT_EQ(k.language_name(2), "");
    EXPECT_EQ(k.language_name(-1), "");
    k.select_language(5);
    EXPECT_EQ(k.selected_language(), -1);
    k.select_language(1);
    EXPECT_EQ(k.selected_language(), 1);
}

TEST_F(Languages, TextsReplaceDefaultsById) {
    d.write("Language/Test.ini",
            "[Language]\r\n"
            "2000=Transparent\r\n"
            "2001=\r\n"
            "100=First<br>Second<br>Third\r\n"
            "101=Upper<BR>case\r\n"
            "02000=Loses to the first\r\n"
            "abc=Text zero\r\n"
            "0x10=Hex\r\n"
            "[Other]\r\n3=not a language text\r\n");
    key_code_convert k = make();
    ASSERT_TRUE(k.load_language(0));
    struct row {
        uint32_t id;
        const char* expected;
    };
    const row rows[] = {
        {2000, "Transparent"}, {2001, ""},       {100, "First\r\nSecond\r\nThird"}, {101, "Upper<BR>case"},
        {0, "Text zero"},      {16, "Hex"},      {3, "default"},                    {2002, "default"},
    };
    for (const row& r : rows) EXPECT_EQ(k.get_lng_text(r.id, "default"), r.expected) << r.id;
}

TEST_F(Languages, EmptyOrMissingFilesKeepTheDefaults) {
    d.write("Language/Empty.ini", "[Language]\r\n");
    d.write("Language/NoSection.ini", "[Else]\r\n0=x\r\n");
    key_code_convert k = make();
    for (int i : {0, 1, 2, -1}) {
        EXPECT_FALSE(k.load_language(i)) << i;
        EXPECT_EQ(k.get_lng_text(0, "默认"), "默认") << i;
    }
    d.write("Language/Full.ini", "[Language]\r\n0=Loaded\r\n"); // appears only at the next start
    EXPECT_FALSE(k.load_language(2));
}

} // namespace
} // namespace qvk::testing
