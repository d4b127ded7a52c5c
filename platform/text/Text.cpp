#include "platform/text/Text.h"

#include <charconv>
#include <cmath>
#include <algorithm>
#include <cstdint>

namespace qtmv {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// &H and &O numbers; like Jet, values that fit 16 or 32 bits read as signed.
double RadixNumber(std::string_view s, std::size_t i, int radix)
{
    std::uint64_t v = 0;
    bool any = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (IsBlank(c))
            continue;
        int d = -1;
        if (IsDigit(c))
            d = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (radix == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        if (d < 0 || d >= radix)
            break;
        if (v > (UINT64_MAX >> 4))
            break; // more digits than any integer holds
        v = v * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(d);
        any = true;
    }
    if (!any)
        return 0;
    if (v > 0x7FFF && v <= 0xFFFF)
        return static_cast<double>(static_cast<std::int64_t>(v) - 0x10000);
    if (v > 0x7FFFFFFF && v <= 0xFFFFFFFF)
        return static_cast<double>(static_cast<std::int64_t>(v) - 0x100000000LL);
    return static_cast<double>(v);
}

} // namespace

std::string RealText(double v)
{
    if (v == 0)
        return "0";
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v < 0 ? "-Infinity" : "Infinity";
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    std::string out(buf, r.ptr);
    // Jet writes the exponent with a capital E: 1E+15, 1E-05.
    if (const auto e = out.find('e'); e != std::string::npos)
        out[e] = 'E';
    return out;
}

bool IsRealText(std::string_view text)
{
    std::size_t i = text.empty() || text[0] != '-' ? 0 : 1;
    const std::size_t intStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    const std::size_t intDigits = i - intStart;
    if (intDigits == 0 || (intDigits > 1 && text[intStart] == '0'))
        return false;
    std::size_t significant = text[intStart] == '0' ? 0 : intDigits;
    std::size_t leadingZeros = 0;   // of the fraction, when the whole part is 0
    if (i < text.size()) {
        if (text[i] != '.' || i + 1 == text.size() || text.back() == '0')
            return false;
        for (++i; i < text.size(); ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            if (significant == 0 && text[i] == '0')
                ++leadingZeros;
            else
                ++significant;
        }
    }
    if (significant == 0)
        return intStart == 0;   // "0", never "-0"
    // %.15g writes numbers from 1E+15 up and below 1E-04 with an exponent.
    return significant <= 15 && intDigits <= 15 && leadingZeros <= 3;
}

std::string IntegerText(long long v)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

double Val(std::string_view s)
{
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n && IsBlank(s[i]))
        ++i;
    if (i + 1 < n && s[i] == '&') {
        const char p = s[i + 1];
        if (p == 'h' || p == 'H')
            return RadixNumber(s, i + 2, 16);
        if (p == 'o' || p == 'O')
            return RadixNumber(s, i + 2, 8);
        return 0;
    }

    // Collect the number without its blanks, then convert it in one go.
    std::string buf;
    buf.reserve(24);
    if (i < n && (s[i] == '-' || s[i] == '+')) {
        if (s[i] == '-')
            buf += '-';
        ++i;
    }
    bool digits = false, point = false;
    for (; i < n; ++i) {
        const char c = s[i];
        if (IsBlank(c))
            continue;
        if (IsDigit(c)) {
            buf += c;
            digits = true;
        } else if (c == '.' && !point) {
            buf += c;
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    // An exponent counts only when digits follow it ("1e" is 1).
    if (i < n && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        while (j < n && IsBlank(s[j]))
            ++j;
        std::string exp = "e";
        if (j < n && (s[j] == '-' || s[j] == '+')) {
            exp += s[j];
            ++j;
        }
        bool expDigits = false;
        for (; j < n; ++j) {
            if (IsBlank(s[j]))
                continue;
            if (!IsDigit(s[j]))
                break;
            exp += s[j];
            expDigits = true;
        }
        if (expDigits)
            buf += exp;
    }
    double v = 0;
    const auto r = std::from_chars(buf.data(), buf.data() + buf.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Too large: infinity with the sign; too small: 0.
        const bool negative = buf[0] == '-';
        const auto e = buf.find('e');
        const bool tiny = e != std::string::npos && buf.find('-', e) != std::string::npos;
        if (tiny)
            return 0;
        return negative ? -HUGE_VAL : HUGE_VAL;
    }
    return v == 0 ? 0.0 : v; // no negative zero
}

std::string_view TrimView(std::string_view s)
{
    auto blankAt = [&](std::size_t i, bool back) -> std::size_t {
        // Returns the width of a blank at i (or ending at i when back), 0 if none.
        const char c = s[i];
        if (IsBlank(c))
            return 1;
        static constexpr char ideo[] = "\xE3\x80\x80"; // U+3000
        if (!back && i + 3 <= s.size() && s.compare(i, 3, ideo) == 0)
            return 3;
        if (back && i >= 2 && s.compare(i - 2, 3, ideo) == 0)
            return 3;
        return 0;
    };
    std::size_t b = 0, e = s.size();
    while (b < e) {
        const std::size_t w = blankAt(b, false);
        if (w == 0 || b + w > e)
            break;
        b += w;
    }
    while (e > b) {
        const std::size_t w = blankAt(e - 1, true);
        if (w == 0 || e - w < b)
            break;
        e -= w;
    }
    return s.substr(b, e - b);
}

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

bool IsPlainNumber(std::string_view text)
{
    const std::string_view t = TrimView(text);
    if (t.empty())
        return true;
    bool digit = false, point = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char ch = t[i];
        if (ch >= '0' && ch <= '9')
            digit = true;
        else if (ch == '.' && !point)
            point = true;
        else if (!(ch == '-' && i == 0))
            return false;
    }
    return digit;
}

namespace {
std::string ShiftedAscii(std::string_view text, char from, char to)
{
    std::string out(text);
    for (char& c : out)
        if (c >= from && c <= from + 25)
            c = static_cast<char>(c - from + to);
    return out;
}
} // namespace

std::string AsciiUpper(std::string_view text) { return ShiftedAscii(text, 'a', 'A'); }
std::string AsciiLower(std::string_view text) { return ShiftedAscii(text, 'A', 'a'); }

std::size_t Utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if ((lead >> 5) == 0x6) return 2;
    if ((lead >> 4) == 0xE) return 3;
    if ((lead >> 3) == 0x1E) return 4;
    return 1;
}

std::string_view CharacterAt(std::string_view text, int position)
{
    int n = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = std::min(Utf8SequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
        if (++n == position)
            return text.substr(i, len);
        i += len;
    }
    return {};
}

} // namespace qtmv
