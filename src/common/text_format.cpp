#include "common/text_format.h"

#include <cctype>
#include <cstdint>
#include <cstdio>

namespace qvk {

namespace {

// A whole number from a floating-point value, clamped into range (NaN is 0).
int64_t whole(double d) {
    if (!(d == d)) return 0;
    if (d >= 9.2e18) return INT64_MAX;
    if (d <= -9.2e18) return INT64_MIN;
    return int64_t(d);
}

std::string as_text(const format_value& v) {
    if (const auto* s = std::get_if<std::string>(&v)) return *s;
    if (const auto* d = std::get_if<double>(&v)) return std::to_string(whole(*d));
    return std::to_string(std::get<int64_t>(v));
}

double as_double(const format_value& v) {
    if (const auto* d = std::get_if<double>(&v)) return *d;
    if (const auto* i = std::get_if<int64_t>(&v)) return double(*i);
    return 0.0;
}

int64_t as_int(const format_value& v) {
    if (const auto* i = std::get_if<int64_t>(&v)) return *i;
    if (const auto* d = std::get_if<double>(&v)) return whole(*d);
    return 0;
}

} // namespace

std::string format_template(std::string_view t, const std::vector<format_value>& values) {
    std::string out;
    out.reserve(t.size() + 16);
    size_t next = 0;
    size_t i = 0;
    while (i < t.size()) {
        if (t[i] != '%') {
            out += t[i++];
            continue;
        }
        if (i + 1 < t.size() && t[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        // Parse "%[0][width][.precision]conv".
        size_t j = i + 1;
        bool zero = false;
        if (j < t.size() && t[j] == '0') {
            zero = true;
            ++j;
        }
        int width = 0;
        while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j])) && width < 100) width = width * 10 + (t[j++] - '0');
        int precision = -1;
        if (j < t.size() && t[j] == '.') {
            ++j;
            precision = 0;
            while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j])) && precision < 100)
                precision = precision * 10 + (t[j++] - '0');
        }
        const char conv = j < t.size() ? t[j] : '\0';
        const bool known = conv == 'u' || conv == 'd' || conv == 'i' || conv == 'f' || conv == 's' ||
                           conv == 'x' || conv == 'X';
        if (!known || next >= values.size() || width > 32 || precision > 9) {
            out += '%';
            ++i;
            continue;
        }
        const format_value& v = values[next++];
        char buf[64];
        switch (conv) {
        case 'f': {
            // Large values print in full: measure first.
            const int p = precision < 0 ? 6 : precision;
            const int n = std::snprintf(nullptr, 0, "%.*f", p, as_double(v));
            if (n > 0) {
                std::string number(size_t(n) + 1, '\0');
                std::snprintf(number.data(), number.size(), "%.*f", p, as_double(v));
                number.resize(size_t(n));
                out += number;
            }
            break;
        }
        case 'x':
        case 'X':
            std::snprintf(buf, sizeof buf, conv == 'x' ? "%0*llx" : "%0*llX", zero ? width : 0,
                          static_cast<unsigned long long>(as_int(v)));
            out += buf;
            break;
        case 's': out += as_text(v); break;
        default:
            std::snprintf(buf, sizeof buf, zero ? "%0*lld" : "%*lld", width, static_cast<long long>(as_int(v)));
            out += buf;
            break;
        }
        i = j + 1;
    }
    return out;
}

} // namespace qvk
