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

// The printf conversions of a template, in order.
std::vector<std::string> conversions(const std::string& s) {
    std::vector<std::string> out;
    for (size_t i = s.find('%'); i != std::string::npos; i = s.find('%', i + 1)) {
        size_t end = i + 1;
        while (end < s.size() && (s[end] == '.' || (s[end] >= '0' && s[end] <= '9'))) ++end;
        if (end < s.size() && s[end] >= 'a' && s[end] <= 'z') out.push_back(s.substr(i, end - i + 1));
    }
    return out;
}

TEST(ShippedFiles, NameEveryKeyboardUsageAndTranslateTheMainWindow) {
    key_code_convert k(std::string(QVK_RESOURCES) + "/qvk-tools");
    for (int u = 0x04; u <= 0xE7; ++u) {
        if ((u > 0xA4 && u < 0xB0) || (u > 0xDD && u < 0xE0)) continue;
        EXPECT_NE(k.key_code_to_str(uint8_t(u)), "ERR") << u;
    }
    EXPECT_EQ(k.media_code_to_str(0x00E9), "Volume Up(0x00E9)");
    EXPECT_EQ(k.media_code_to_str(0x00CD), "Play/Pause(0x00CD)");

    // Chinese comes first and keeps the built-in texts.
    ASSERT_EQ(k.language_count(), 2);
    EXPECT_EQ(k.language_name(0), "Chinese");
    EXPECT_FALSE(k.load_language(0));
    ASSERT_EQ(k.language_name(1), "English");
    ASSERT_TRUE(k.load_language(1));
    const char* missing = "\x01";
    std::vector<uint32_t> ids;
    for (uint32_t id = 0; id <= 95; ++id) ids.push_back(id);
    for (uint32_t id : {300u, 301u, 302u, 328u, 329u, 330u, 331u, 332u, 333u, 334u, 500u}) ids.push_back(id);
    for (uint32_t id : ids) {
        const std::string t = k.get_lng_text(id, missing);
        EXPECT_NE(t, missing) << id;
        EXPECT_FALSE(t.empty()) << id;
    }
    const std::string battery = "电池电压=%.03fV 电池电量=%u% \r\n鼠标左键单击切换电压/电量显示\r\n鼠标右键单击更新当前电量\r\n电量值在关灯时，才会准确";
    EXPECT_EQ(conversions(k.get_lng_text(500, battery)), conversions(battery));
    EXPECT_EQ(conversions(battery), (std::vector<std::string>{"%.03f", "%u"}));
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
    d.write("Language/Upper.INI", "[Language]\n0=u\n");
    d.write("Language/deeper/Other.ini", "[Language]\n0=o\n");
    key_code_convert k = make();
    ASSERT_EQ(k.language_count(), 3);
    EXPECT_EQ(k.language_name(0), "English");
    EXPECT_EQ(k.language_name(1), "Upper");
    EXPECT_EQ(k.language_name(2), "Zulu");
    EXPECT_EQ(k.language_name(3), "");
    EXPECT_EQ(k.language_name(-1), "");
    ASSERT_TRUE(k.load_language(1)); // the file as listed, whatever the case of its extension
    EXPECT_EQ(k.get_lng_text(0, "d"), "u");
    for (int stored : {5, 3, -2}) {
        k.select_language(stored);
        EXPECT_EQ(k.selected_language(), -1) << stored;
    }
    k.select_language(2);
    EXPECT_EQ(k.selected_language(), 2);
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
