#pragma once
// The keystroke notation the windows use to move on after Enter or to hand
// a key to a grid: "{TAB}", "{ENTER}" or "~", "{F9}", "{ESC}", plain
// characters, "+" Shift, "^" Ctrl, "%" Alt for the next key or a "(...)"
// group, "{TAB 3}" to repeat, "{+}" "{^}" "{%}" "{~}" "{(}" "{)}" "{{}"
// "{}}" for the literal characters.
#include <optional>
#include <string_view>
#include <vector>

namespace qtmv {

enum class NamedKey {
    None, // a character key (KeyStroke::ch)
    Tab,
    Enter,
    Escape,
    Backspace,
    Delete,
    Insert,
    Home,
    End,
    PageUp,
    PageDown,
    Left,
    Right,
    Up,
    Down,
    Function, // F1..F16 (KeyStroke::function)
};

struct KeyStroke {
    NamedKey key = NamedKey::None;
    char32_t ch = 0;  // the character, for NamedKey::None
    int function = 0; // 1..16, for NamedKey::Function
    bool shift = false;
    bool ctrl = false;
    bool alt = false;

    bool operator==(const KeyStroke&) const = default;
};

// The strokes of a key text (UTF-8), in order; nullopt when the notation is
// broken (an unclosed brace or group, an unknown key name, a dangling
// modifier).
std::optional<std::vector<KeyStroke>> ParseSendKeys(std::string_view keys);

} // namespace qtmv
