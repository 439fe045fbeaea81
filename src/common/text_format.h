#pragma once
// Fills the placeholders of a text template with values, by our own code:
// templates come from language files, so they are never handed to printf.
//
// Understood placeholders, taken in order, one value each:
//   %u %d %i         whole numbers
//   %.Nf %f          numbers with N (default 6) decimals, N at most 9
//   %s               text
//   %0Nx %0NX %x %X  hexadecimal, optionally zero-padded to N digits
// "%%" is one percent sign. Any other '%' (as in "level=%u% ") is kept as it
// stands; a placeholder without a value left is kept too.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qvk {

using format_value = std::variant<int64_t, double, std::string>;

std::string format_template(std::string_view tmpl, const std::vector<format_value>& values);

} // namespace qvk
