#include "platform/text/Big5.h"

#include <algorithm>
#include <iconv.h>

namespace qtmv {

namespace {

// One UTF-8 sequence decoded: its code point and byte length. A malformed
// sequence yields U+FFFD and length 1, so scanning always moves on.
struct Decoded {
    char32_t cp;
    std::size_t len;
};

Decoded DecodeAt(std::string_view s, std::size_t i)
{
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80)
        return {c, 1};
    std::size_t len = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
        len = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4;
        cp = c & 0x07;
    } else {
        return {0xFFFD, 1};
    }
    if (i + len > s.size())
        return {0xFFFD, 1};
    for (std::size_t k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80)
            return {0xFFFD, 1};
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed.
    static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return {0xFFFD, 1};
    return {cp, len};
}

// A converter from UTF-8 to code page 950, opened per call: iconv_t keeps
// shift state and must not be shared between threads. glibc names the code
// page CP950; BIG5 is the fallback where that name is missing.
class Big5Converter {
public:
    Big5Converter() : cd_(iconv_open("CP950", "UTF-8"))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            cd_ = iconv_open("BIG5", "UTF-8");
    }
    ~Big5Converter()
    {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Big5Converter(const Big5Converter&) = delete;
    Big5Converter& operator=(const Big5Converter&) = delete;

    bool usable() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Big5 bytes of one UTF-8 character; 0 when Big5 has no such character.
    // The bytes go to out when given (at most outSize).
    std::size_t bytesOf(std::string_view utf8Char, char* out = nullptr, std::size_t outSize = 0)
    {
        if (!usable())
            return 0;
        char in[8];
        char buf[16];
        const std::size_t n = utf8Char.copy(in, sizeof in);
        char* inp = in;
        char* outp = buf;
        std::size_t inLeft = n;
        std::size_t outLeft = sizeof buf;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr); // reset the state
        const std::size_t r = iconv(cd_, &inp, &inLeft, &outp, &outLeft);
        if (r == static_cast<std::size_t>(-1) || inLeft != 0 || r != 0)
            return 0; // not encodable (r > 0 would be a lossy substitute)
        const std::size_t written = sizeof buf - outLeft;
        if (out && written <= outSize)
            std::copy(buf, buf + written, out);
        return written;
    }

private:
    iconv_t cd_;
};

// Bytes one character takes: ASCII 1, anything else its Big5 length, or 2
// when Big5 cannot encode it.
std::size_t CharBytes(Big5Converter& conv, std::string_view s, const Decoded& d, std::size_t at)
{
    if (d.cp < 0x80)
        return 1;
    if (d.cp == 0xFFFD && d.len == 1)
        return 2; // malformed byte
    const std::size_t n = conv.bytesOf(s.substr(at, d.len));
    return n == 0 ? 2 : n;
}

} // namespace

bool ToBig5(std::string_view utf8, std::string& out, std::string* unencodable)
{
    out.clear();
    Big5Converter conv;
    for (std::size_t i = 0; i < utf8.size();) {
        const Decoded d = DecodeAt(utf8, i);
        const std::string_view ch = utf8.substr(i, d.len);
        if (d.cp < 0x80) {
            out += ch;
        } else {
            char buf[16];
            const std::size_t n = conv.bytesOf(ch, buf, sizeof buf);
            if (n == 0) {
                if (unencodable)
                    *unencodable = std::string(ch);
                return false;
            }
            out.append(buf, n);
        }
        i += d.len;
    }
    return true;
}

std::size_t Big5ByteLength(std::string_view text)
{
    Big5Converter conv;
    std::size_t total = 0;
    for (std::size_t i = 0; i < text.size();) {
        const Decoded d = DecodeAt(text, i);
        total += CharBytes(conv, text, d, i);
        i += d.len;
    }
    return total;
}

std::string CutToBytes(std::string_view text, long long limit)
{
    if (limit <= 0)
        return {};
    Big5Converter conv;
    std::size_t used = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const Decoded d = DecodeAt(text, i);
        const std::size_t n = CharBytes(conv, text, d, i);
        if (used + n > static_cast<unsigned long long>(limit))
            break;
        used += n;
        i += d.len;
    }
    return std::string(text.substr(0, i));
}

bool IsBig5Encodable(char32_t cp)
{
    if (cp < 0x80)
        return true;
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    char buf[4];
    std::size_t len;
    if (cp < 0x800) {
        buf[0] = char(0xC0 | (cp >> 6));
        buf[1] = char(0x80 | (cp & 0x3F));
        len = 2;
    } else if (cp < 0x10000) {
        buf[0] = char(0xE0 | (cp >> 12));
        buf[1] = char(0x80 | ((cp >> 6) & 0x3F));
        buf[2] = char(0x80 | (cp & 0x3F));
        len = 3;
    } else {
        buf[0] = char(0xF0 | (cp >> 18));
        buf[1] = char(0x80 | ((cp >> 12) & 0x3F));
        buf[2] = char(0x80 | ((cp >> 6) & 0x3F));
        buf[3] = char(0x80 | (cp & 0x3F));
        len = 4;
    }
    Big5Converter conv;
    return conv.bytesOf(std::string_view(buf, len)) != 0;
}

} // namespace qtmv
