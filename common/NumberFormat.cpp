#include "common/NumberFormat.h"

#include "platform/text/Text.h"

#include <algorithm>
#include <cmath>
#include <charconv>

namespace qtmv {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }


// Integer digits with a comma every three from the right.
std::string GroupThousands(std::string_view digits)
{
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

std::string StripLeadingZeros(std::string s)
{
    const std::size_t nz = s.find_first_not_of('0');
    if (nz == std::string::npos)
        return "0";
    return s.substr(nz);
}

// A plain decimal text ("3.25", ".5"), independent of the locale.
double ParseDecimal(std::string_view s)
{
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

} // namespace

std::string FormatAmount(std::string_view text)
{
    if (text.empty())
        return {};
    const std::string_view t = TrimView(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        negative = t[i++] == '-';
    std::string intDigits, fracDigits;
    while (i < t.size() && (IsDigit(t[i]) || (t[i] == ',' && !intDigits.empty())))
        if (t[i++] != ',')
            intDigits += t[i - 1];
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && IsDigit(t[i]))
            fracDigits += t[i++];
    }
    if (intDigits.empty() && fracDigits.empty())
        return std::string(text);
    long exponent = 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            expNegative = t[i++] == '-';
        if (i == t.size() || !IsDigit(t[i]))
            return std::string(text);
        while (i < t.size() && IsDigit(t[i])) {
            exponent = exponent * 10 + (t[i++] - '0');
            if (exponent > 400)
                return std::string(text); // beyond any double
        }
        if (expNegative)
            exponent = -exponent;
    }
    if (i != t.size())
        return std::string(text);

    // Move the decimal point by the exponent, exactly, on the digits.
    std::string all = intDigits + fracDigits;
    long point = static_cast<long>(intDigits.size()) + exponent;
    if (point < 0) {
        all.insert(0, static_cast<std::size_t>(-point), '0');
        point = 0;
    }
    if (static_cast<std::size_t>(point) > all.size())
        all.append(static_cast<std::size_t>(point) - all.size(), '0');
    std::string integer = StripLeadingZeros(all.substr(0, static_cast<std::size_t>(point)));
    std::string fraction = all.substr(static_cast<std::size_t>(point));
    fraction.erase(fraction.find_last_not_of('0') + 1);

    const bool zero = integer == "0" && fraction.empty();
    std::string out = (negative && !zero) ? "-" : "";
    out += GroupThousands(integer);
    if (!fraction.empty())
        out += "." + fraction;
    return out;
}

std::string FormatFixed(double value, int decimals)
{
    decimals = std::clamp(decimals, 0, 10);
    if (!std::isfinite(value))
        value = 0;
    // 15 significant digits: d.dddddddddddddde+XX
    // to_chars: the C locale's point whatever locale the program runs in.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    std::string_view s(buf, static_cast<std::size_t>(res.ptr - buf));
    const bool negative = s.front() == '-';
    if (negative)
        s.remove_prefix(1);
    const std::size_t e = s.find('e');
    std::string digits;
    for (char c : s.substr(0, e))
        if (IsDigit(c))
            digits += c;
    std::string_view expText = s.substr(e + 1);
    if (!expText.empty() && expText.front() == '+')
        expText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);

    // digits[k] stands for 10^(exponent - k); lay them out so that the first
    // intLen digits are the integer part.
    long intLen = exponent + 1;
    if (intLen <= 0) {
        digits.insert(0, static_cast<std::size_t>(1 - intLen), '0');
        intLen = 1;
    }
    const std::size_t keep = static_cast<std::size_t>(intLen + decimals);
    if (digits.size() < keep)
        digits.append(keep - digits.size(), '0');
    if (digits.size() > keep) {
        const bool up = digits[keep] >= '5'; // half away from zero: on the magnitude
        digits.resize(keep);
        if (up) {
            std::size_t k = keep;
            while (k > 0 && digits[k - 1] == '9')
                digits[--k] = '0';
            if (k == 0) {
                digits.insert(digits.begin(), '1');
                ++intLen;
            } else {
                ++digits[k - 1];
            }
        }
    }
    const std::string integer = StripLeadingZeros(digits.substr(0, static_cast<std::size_t>(intLen)));
    const std::string fraction = digits.substr(static_cast<std::size_t>(intLen));
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    std::string out = (negative && !zero) ? "-" : "";
    out += integer;
    if (decimals > 0)
        out += "." + fraction;
    return out;
}

double RoundNumber(double value, int decimals)
{
    return ParseDecimal(FormatFixed(value, decimals));
}

double SizeNumber(std::string_view sizeText, std::string_view selector)
{
    static constexpr std::string_view kFullWidthStar = "\xEF\xBC\x8A"; // ＊
    std::size_t sep = sizeText.find('*');
    std::size_t sepLen = 1;
    const std::size_t wide = sizeText.find(kFullWidthStar);
    if (wide != std::string_view::npos && (sep == std::string_view::npos || wide < sep)) {
        sep = wide;
        sepLen = kFullWidthStar.size();
    }
    if (sep == std::string_view::npos)
        return qtmv::Val(sizeText);
    if (qtmv::Trim(selector) == "1")
        return qtmv::Val(sizeText.substr(0, sep));
    return qtmv::Val(sizeText.substr(sep + sepLen));
}

std::vector<double> SplitSize(std::string_view sizeText)
{
    static constexpr std::string_view kSeparators[] = {
        "*", "x", "X", " ", "\t",
        "\xEF\xBC\x8A", // ＊
        "\xC3\x97",     // ×
        "\xEF\xBD\x98", // ｘ
        "\xEF\xBC\xB8", // Ｘ
        "\xE3\x80\x80", // full-width blank
    };
    std::vector<double> numbers;
    std::string part;
    const auto flush = [&] {
        if (numbers.size() < 3 && part.find_first_of("0123456789") != std::string::npos) {
            // The leading number of the kept digits and points: "3.1.4" is 3.1.
            const std::size_t second = part.find('.', part.find('.') + 1);
            const std::size_t end = part.find('.') == std::string::npos ? part.size() : second;
            numbers.push_back(ParseDecimal(std::string_view(part).substr(0, end)));
        }
        part.clear();
    };
    for (std::size_t i = 0; i < sizeText.size();) {
        std::size_t sepLen = 0;
        for (std::string_view s : kSeparators)
            if (sizeText.substr(i, s.size()) == s) {
                sepLen = s.size();
                break;
            }
        if (sepLen > 0) {
            flush();
            i += sepLen;
            continue;
        }
        const char c = sizeText[i++];
        if (IsDigit(c) || c == '.')
            part += c;
    }
    flush();
    return numbers;
}

} // namespace qtmv
