// Filling text templates that come from language files.

#include <gtest/gtest.h>

#include "common/text_format.h"

namespace qvk {
namespace {

TEST(TextFormat, FillsPlaceholdersInOrderAndKeepsEverythingElse) {
    struct format_case {
        const char* tmpl;
        std::vector<format_value> values;
        const char* want;
    };
    const format_case cases[] = {
        {"%.03fV", {3.7}, "3.700V"},
        {"%u%", {int64_t(50)}, "50%"},
        {"v=%.03fV l=%u% \r\nx", {3.95, int64_t(76)}, "v=3.950V l=76% \r\nx"},
        {" [FW:%u.%u] ", {int64_t(1), int64_t(5)}, " [FW:1.5] "},
        {"%02X-%02X", {int64_t(10), int64_t(255)}, "0A-FF"},
        {"%s and %d", {std::string("keys"), int64_t(-3)}, "keys and -3"},
        {"100%% sure", {}, "100% sure"},
        // Placeholders without a value, unknown ones and a lone trailing
        // percent sign stay as they are.
        {"%u %u", {int64_t(1)}, "1 %u"},
        {"%n%p%", {int64_t(1)}, "%n%p%"},
        {"%.99f", {1.0}, "%.99f"},
        {"", {int64_t(1)}, ""},
        // A translation that puts a whole number where a reading goes.
        {"%u", {0.0 / 0.0}, "0"},
        {"%d", {1e300}, "9223372036854775807"},
    };
    for (const format_case& c : cases) EXPECT_EQ(format_template(c.tmpl, c.values), c.want) << c.tmpl;
    // A huge reading prints in full, not cut to a buffer.
    EXPECT_EQ(format_template("%.03fV", {1e100}).size(), 101u + 4u + 1u);
}

} // namespace
} // namespace qvk
