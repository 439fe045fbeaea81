// INI files as the settings, language and key-name files are read and written.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

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
    // Old Mac line ends and a last line without a break.
    const ini_file cr(d.write("cr.ini", "[S]\ra=1\rb=2"));
    EXPECT_EQ(cr.keys("S"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(cr.read_string("S", "b", ""), "2");
}

TEST(IniRead, Integers) {
    temp_dir d;
    const ini_file ini(d.write("i.ini", "[S]\na=12\nb=-1\nc=7abc\nd=abc\ne=\nf=99999999999\ng=-2147483648\nh=\"42\"\n"));
    EXPECT_EQ(ini.read_int("S", "a", 5), 12);
    EXPECT_EQ(ini.read_int("S", "b", 5), -1);
    EXPECT_EQ(ini.read_int("S", "c", 5), 7);
    EXPECT_EQ(ini.read_int("S", "d", 5), 0);
    EXPECT_EQ(ini.read_int("S", "e", 5), 5);
    EXPECT_EQ(ini.read_int("S", "f", 5), 5);
    EXPECT_EQ(ini.read_int("S", "g", 5), -2147483647 - 1);
    EXPECT_EQ(ini.read_int("S", "h", 5), 42);
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

TEST(IniWrite, KeepsLineEndingsAndUtf8Bom) {
    temp_dir d;
    const std::string lf = d.write("lf.ini", "\xEF\xBB\xBF[S]\na=1\n; note\n");
    ASSERT_TRUE(ini_file(lf).write_int("S", "b", 2));
    EXPECT_EQ(d.read("lf.ini"), "\xEF\xBB\xBF[S]\na=1\nb=2\n; note\n");
    const std::string cr = d.write("cr.ini", "[S]\ra=1");
    ASSERT_TRUE(ini_file(cr).write_int("S", "a", 3));
    EXPECT_EQ(d.read("cr.ini"), "[S]\ra=3\r");
}

TEST(IniWrite, AppendsAfterTheSectionsLastKey) {
    temp_dir d;
    const std::string path = d.write("a.ini", "[A]\r\nx=1\r\n\r\n; about B\r\n[B]\r\ny=2\r\n[Empty]\r\n; nothing yet\r\n");
    ini_file ini(path);
    ASSERT_TRUE(ini.write_int("a", "z", 3));
    ASSERT_TRUE(ini.write_int("EMPTY", "k", 4));
    EXPECT_EQ(d.read("a.ini"),
              "[A]\r\nx=1\r\nz=3\r\n\r\n; about B\r\n[B]\r\ny=2\r\n[Empty]\r\nk=4\r\n; nothing yet\r\n");
}

TEST(IniWrite, LaterReadsAndWritesOfTheSameObjectSeeEarlierWrites) {
    temp_dir d;
    const std::string path = d.write("a.ini", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
    ini_file ini(path);
    ASSERT_TRUE(ini.write_int("New", "a", 1));
    ASSERT_TRUE(ini.write_int("new", "b", 2)); // the section made just now
    ASSERT_TRUE(ini.write_int("A", "w", 5));   // moves every line below it
    ASSERT_TRUE(ini.write_int("B", "Y", 3));   // still finds y in its new place
    EXPECT_EQ(d.read("a.ini"), "[A]\r\nx=1\r\nw=5\r\n[B]\r\ny=3\r\n\r\n[New]\r\na=1\r\nb=2\r\n");
    EXPECT_EQ(ini.keys("NEW"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(ini.keys("a"), (std::vector<std::string>{"x", "w"}));
    EXPECT_EQ(ini.read_int("b", "y", 0), 3);
    EXPECT_EQ(ini.read_int("New", "B", 0), 2);
}

TEST(IniWrite, NamesAndValuesCannotBreakTheFile) {
    temp_dir d;
    const std::string original = "[S]\r\nk=1\r\n";
    const std::string path = d.write("s.ini", original);
    struct row {
        const char* section;
        const char* key;
        const char* value;
    };
    const row refused[] = {
        {"S", "k", "1\r\n[Other]\r\nx=2"}, {"S", "k", "a\nb"}, {"S", "a=b", "1"}, {"S", ";k", "1"},
        {"S", "[k", "1"},                    {"S", "  ", "1"},   {"A]B", "k", "1"}, {"", "k", "1"},
        {"S\nT", "k", "1"},
    };
    for (const row& r : refused) {
        ini_file ini(path);
        EXPECT_FALSE(ini.write_string(r.section, r.key, r.value)) << r.section << "/" << r.key;
    }
    EXPECT_EQ(d.read("s.ini"), original);

    // Names are trimmed like on reading, so the same key is found again.
    ASSERT_TRUE(ini_file(path).write_string(" S ", " k ", "2"));
    ASSERT_TRUE(ini_file(path).write_string("S", "k ", "3"));
    EXPECT_EQ(ini_file(path).keys("S"), (std::vector<std::string>{"k"}));

    // Values read back exactly as written.
    const char* values[] = {"  padded  ", "\"quoted\"", "'single'", "\"", "a \"b\" c", "", "\t"};
    for (const char* v : values) {
        ASSERT_TRUE(ini_file(path).write_string("S", "v", v)) << v;
        EXPECT_EQ(ini_file(path).read_string("S", "v", "DEF"), v);
    }
}

TEST(IniWrite, NeverReplacesAFileItCouldNotRead) {
    temp_dir d;
    // Too large to be a settings file: reads as empty, must not be cut down to one key.
    const std::string big = "[S]\r\n" + std::string(17u << 20, 'x');
    const std::string path = d.write("big.ini", big);
    ini_file ini(path);
    EXPECT_FALSE(ini.exists());
    EXPECT_FALSE(ini.write_int("S", "k", 1));
    EXPECT_EQ(std::filesystem::file_size(path), big.size());
    // Something that is not a file at all.
    std::filesystem::create_directory(d.file("dir.ini"));
    EXPECT_FALSE(ini_file(d.file("dir.ini")).write_int("S", "k", 1));
    EXPECT_TRUE(std::filesystem::is_directory(d.file("dir.ini")));
}

TEST(IniWrite, KeepsPermissionsAndLeavesNoTemporaryFiles) {
    temp_dir d;
    const std::string path = d.write("p.ini", "[S]\r\nk=1\r\n");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(ini_file(path).write_int("S", "k", 2));
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    // Written through a link: the link stays, its target changes.
    std::filesystem::create_symlink(path, d.file("link.ini"));
    ASSERT_TRUE(ini_file(d.file("link.ini")).write_int("S", "k", 3));
    EXPECT_TRUE(std::filesystem::is_symlink(d.file("link.ini")));
    EXPECT_EQ(ini_file(path).read_int("S", "k", 0), 3);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(d.path())) ++entries;
    EXPECT_EQ(entries, 2u);
}

TEST(TextCodec, Utf16RoundTripAndBrokenUtf8) {
    const std::string text = "A键😀";
    EXPECT_EQ(utf8_to_utf16le(text), std::string("A\0\x2E\x95\x3D\xD8\x00\xDE", 8));
    EXPECT_EQ(utf16le_to_utf8(utf8_to_utf16le(text)), text);
    struct row {
        const char* utf8;
        const char* expected;
    };
    const row rows[] = {
        {"a\xED\xA0\x80" "b", "a\uFFFD\uFFFD\uFFFD" "b"}, // encoded surrogate
        {"\xF4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD"},    // above U+10FFFF
        {"\xC0\xAF", "\uFFFD\uFFFD"},                        // overlong '/'
        {"\xE9\x94", "\uFFFD\uFFFD"},                        // cut short
    };
    for (const row& r : rows) EXPECT_EQ(utf16le_to_utf8(utf8_to_utf16le(r.utf8)), r.expected) << r.utf8;
    // A lone surrogate in a UTF-16 file.
    EXPECT_EQ(utf16le_to_utf8(std::string("\x00\xD8" "A\0", 4)), "\uFFFD" "A");
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
    EXPECT_EQ(from_host_ansi("\xFF" "A"), "?A");            // not a GBK byte
    EXPECT_EQ(to_host_ansi("\xF0\x9F\x98\x80" "A"), "?A");  // not in the code page
    EXPECT_EQ(to_host_ansi("\xE9\x94"), "?");               // cut UTF-8
}

} // namespace
} // namespace qvk::testing
