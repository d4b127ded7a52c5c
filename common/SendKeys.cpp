#include "common/SendKeys.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace qtmv {

namespace {

struct Modifiers {
    bool shift = false, ctrl = false, alt = false;
    bool any() const { return shift || ctrl || alt; }
};

// Decodes one UTF-8 character at i; nullopt for a malformed sequence.
std::optional<char32_t> Decode(std::string_view s, std::size_t& i)
{
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + len > s.size())
        return std::nullopt;
    char32_t cp = len == 1 ? c : c & (0x7F >> len);
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (b & 0x3F);
    }
    i += len;
    return cp;
}

std::optional<KeyStroke> NamedStroke(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
    struct Entry {
        const char* name;
        NamedKey key;
    };
    static constexpr Entry kNames[] = {
        {"TAB", NamedKey::Tab},         {"ENTER", NamedKey::Enter},       {"ESC", NamedKey::Escape},
        {"ESCAPE", NamedKey::Escape},   {"BACKSPACE", NamedKey::Backspace}, {"BS", NamedKey::Backspace},
        {"BKSP", NamedKey::Backspace},  {"DELETE", NamedKey::Delete},     {"DEL", NamedKey::Delete},
        {"INSERT", NamedKey::Insert},   {"INS", NamedKey::Insert},        {"HOME", NamedKey::Home},
        {"END", NamedKey::End},         {"PGUP", NamedKey::PageUp},       {"PGDN", NamedKey::PageDown},
        {"LEFT", NamedKey::Left},       {"RIGHT", NamedKey::Right},       {"UP", NamedKey::Up},
        {"DOWN", NamedKey::Down},
    };
    for (const Entry& e : kNames)
        if (name == e.name)
            return KeyStroke{e.key};
    if (name.size() >= 2 && name[0] == 'F') {
        int n = 0;
        const auto [p, ec] = std::from_chars(name.data() + 1, name.data() + name.size(), n);
        if (ec == std::errc() && p == name.data() + name.size() && n >= 1 && n <= 16)
            return KeyStroke{NamedKey::Function, 0, n};
    }
    return std::nullopt;
}

KeyStroke WithModifiers(KeyStroke k, const Modifiers& m)
{
    k.shift = k.shift || m.shift;
    k.ctrl = k.ctrl || m.ctrl;
    k.alt = k.alt || m.alt;
    return k;
}

} // namespace

std::optional<std::vector<KeyStroke>> ParseSendKeys(std::string_view keys)
{
    std::vector<KeyStroke> out;
    Modifiers pending;           // for the next key or group
    Modifiers group;             // of the open group
    bool inGroup = false;
    const auto emit = [&](KeyStroke k, int repeat) {
        k = WithModifiers(WithModifiers(k, pending), group);
        for (int r = 0; r < repeat; ++r)
            out.push_back(k);
        pending = {};
    };
    std::size_t i = 0;
    while (i < keys.size()) {
        const char c = keys[i];
        if (c == '+' || c == '^' || c == '%') {
            (c == '+' ? pending.shift : c == '^' ? pending.ctrl : pending.alt) = true;
            ++i;
        } else if (c == '~') {
            emit(KeyStroke{NamedKey::Enter}, 1);
            ++i;
        } else if (c == '(') {
            if (inGroup)
                return std::nullopt;
            inGroup = true;
            group = pending;
            pending = {};
            ++i;
        } else if (c == ')') {
            if (!inGroup || pending.any())
                return std::nullopt;
            inGroup = false;
            group = {};
            ++i;
        } else if (c == '{') {
            // "{}}" is the literal brace; otherwise the name runs to the next '}'.
            const std::size_t close = keys.substr(i + 1, 1) == "}" ? keys.find('}', i + 2) : keys.find('}', i + 1);
            if (close == std::string_view::npos)
                return std::nullopt;
            std::string_view inside = keys.substr(i + 1, close - i - 1);
            i = close + 1;
            int repeat = 1;
            const std::size_t blank = inside.rfind(' ');
            if (blank != std::string_view::npos && blank > 0) {
                const std::string_view count = inside.substr(blank + 1);
                const auto [p, ec] = std::from_chars(count.data(), count.data() + count.size(), repeat);
                if (ec != std::errc() || p != count.data() + count.size() || repeat < 0 || repeat > 255)
                    return std::nullopt;
                inside = inside.substr(0, blank);
            }
            if (inside.empty())
                return std::nullopt;
            std::size_t j = 0;
            const std::optional<char32_t> first = Decode(inside, j);
            if (first && j == inside.size()) {
                // A single character in braces stands for itself ("{+}").
                emit(KeyStroke{NamedKey::None, *first}, repeat);
            } else {
                const std::optional<KeyStroke> named = NamedStroke(std::string(inside));
                if (!named)
                    return std::nullopt;
                emit(*named, repeat);
            }
        } else if (c == '}') {
            return std::nullopt;
        } else {
            const std::optional<char32_t> cp = Decode(keys, i);
            if (!cp)
                return std::nullopt;
            emit(KeyStroke{NamedKey::None, *cp}, 1);
        }
    }
    if (inGroup || pending.any())
        return std::nullopt;
    return out;
}

} // namespace qtmv
