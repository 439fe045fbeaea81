// INI files as the settings, language and key-name files are read and written.

#include <gtest/gtest.h>

#include "common/ini_file.h"
#include "common/text_codec.h"
#include "temp_dir.h"

namespace qvk::testing {
namespace {

std::string utf16_file(const std::string& utf8) { return std::string("\xFF\xFE", 2) + utf8_to_utf16le(utf8); }

TEST(IniRead, KeysInFileOrderWithProfileSemantics) {
    temp_dir d;
    const std::string path = d.write("a.ini",
                                     "; comment\r\n"
                                     "[Other]\r\nzz=1\r\n"
                                     "[ language ]\r\n"
                                     "  20 = second  \r\n"
                                     "3=\"quoted value\"\r\n"
                                     "1='single'\r\n"
                                     "Abc=\"only one side\r\n"
                                     "empty=\r\n"
                                     "20=duplicate\r\n"
                                     "not a pair\r\n"
                                     "[LANGUAGE]\r\n7=from a second block\r\n");
    const ini_file ini(path);
    EXPECT_EQ(ini.keys("Language"),
              (std::vector<std::string>{"20", "3", "1", "Abc", "empty", "20", "7"}));
    struct row {
        const char* key;
        const char* expected;
    };
    const row rows[] = {
        {"20", "second"},                  // spaces trimmed, first duplicate wins
        {"3", "quoted value"},             // one pair of quotes removed
        {"1", "single"},
        {"abc", "\"only one side"},        // key case ignored, lone quote kept
        {"empty", ""},                     // empty value is a value
        {"7", "from a second block"},      // section names match without case
        {"missing", "DEF"},
    };
    for (const row& r : rows) EXPECT_EQ(ini.read_string("language", r.key, "DEF"), r.expected) << r.key;
    EXPECT_EQ(ini.read_string("Nowhere", "zz", "DEF"), "DEF");
}

TEST(IniRead, EncodingsAndLimits) {
    temp_dir d;
    const ini_file bom8(d.write("b.ini", "\xEF\xBB\xBF[S]\nname=键盘\n"));
    EXPECT_EQ(bom8.read_string("S", "name", ""), "键盘");
    const ini_file wide(d.write("w.ini", utf16_file("[S]\r\nname=键盘 QVK\r\n")));
    EXPECT_EQ(wide.read_string("s", "NAME", ""), "键盘 QVK");
    const ini_file long_value(d.write("l.ini", "[S]\nv=" + std::string(3000, 'x') + "\n"));
    EXPECT_EQ(long_value.read_string("S", "v", "").size(), ini_file::value_limit);
    const ini_file missing(d.file("none.ini"));
    EXPECT_FALSE(missing.exists());
    EXPECT_TRUE(missing.keys("S").empty());
    const ini_file binary(d.write("bin.ini", std::string("\0\x01[\xFF=\n\x80\x80", 8)));
    EXPECT_TRUE(binary.keys("S").empty());
}

TEST(IniRead, Integers) {
    temp_dir d;
    const ini_file ini(d.write("i.ini", "[S]\na=12\nb=-1\nc=7abc\nd=abc\ne=\nf=99999999999\n"));
    EXPECT_EQ(ini.read_int("S", "a", 5), 12);
    EXPECT_EQ(ini.read_int("S", "b", 5), -1);
    EXPECT_EQ(ini.read_int("S", "c", 5), 7);
    EXPECT_EQ(ini.read_int("S", "d", 5), 0);
    EXPECT_EQ(ini.read_int("S", "e", 5), 5);
    EXPECT_EQ(ini.read_int("S", "f", 5), 5);
    EXPECT_EQ(ini.read_int("S", "missing", 5), 5);
}

TEST(IniWrite, KeepsEveryOtherLine) {
    temp_dir d;
    const std::string original = "; my notes\r\n[SkinCfg]\r\nSKINID=3\r\nLanguage=1\r\n\r\n[Other]\r\nx=y\r\n";
    const std::string path = d.write("Skin.ini", original);
    {
        ini_file ini(path);
        ASSERT_TRUE(ini.write_int("skincfg", "SkinID", 7));     // replaced in place, spelling kept
        ASSERT_TRUE(ini.write_int("SkinCfg", "New", 1));        // appended to its section
        ASSERT_TRUE(ini.write_string("CloseCfg", "Minimize", "1")); // new section at the end
    }
    EXPECT_EQ(d.read("Skin.ini"), "; my notes\r\n[SkinCfg]\r\nSKINID=7\r\nLanguage=1\r\nNew=1\r\n\r\n[Other]\r\nx=y\r\n"
                                  "\r\n[CloseCfg]\r\nMinimize=1\r\n");
    const ini_file again(path);
    EXPECT_EQ(again.read_int("SkinCfg", "SkinID", 0), 7);
}

TEST(IniWrite, CreatesMissingFilesAndKeepsUtf16) {
    temp_dir d;
    ini_file fresh(d.file("new.ini"));
    ASSERT_TRUE(fresh.write_int("AutoConnKB", "Enable", 1));
    EXPECT_EQ(d.read("new.ini"), "[AutoConnKB]\r\nEnable=1\r\n");

    const std::string path = d.write("w.ini", utf16_file("[S]\r\nname=键盘\r\n"));
    ini_file wide(path);
    ASSERT_TRUE(wide.write_string("S", "other", "值"));
    EXPECT_EQ(d.read("w.ini"), utf16_file("[S]\r\nname=键盘\r\nother=值\r\n"));

    ini_file unwritable(d.path() + "/no/such/folder/x.ini");
    EXPECT_FALSE(unwritable.write_int("S", "k", 1));
}

TEST(TextCodec, IntegersAsTheToolsFilesWriteThem) {
    struct row {
        const char* text;
        int expected;
    };
    const row rows[] = {
        {"2000", 2000}, {"02000", 2000}, {"-5", -5},      {"+5", 5},        {"0x1F", 31},
        {"0X1f", 31},   {"x10", 16},     {"$FF", 255},    {"0xFFFFFFFF", -1}, {"abc", 9},
        {"", 9},        {" 1", 9},       {"12a", 9},      {"0x", 9},        {"4294967296", 9},
        {"2147483648", 9},
    };
    for (const row& r : rows) EXPECT_EQ(parse_int_def(r.text, 9), r.expected) << r.text;
}

TEST(TextCodec, KeyboardNamesInTheChineseCodePage) {
    const std::string gbk = to_host_ansi("键盘A");
    EXPECT_EQ(gbk.size(), 5u); // two bytes a Chinese character
    EXPECT_EQ(from_host_ansi(gbk), "键盘A");
    EXPECT_EQ(from_host_ansi(std::string("\x81", 1)), "?"); // cut sequence
    EXPECT_EQ(to_host_ansi("\xF0\x9F\x98\x80"), "?");       // not in the code page
}

} // namespace
} // namespace qvk::testing
