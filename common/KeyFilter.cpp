#include "common/KeyFilter.h"

namespace qtmv {

namespace {

// Full-width ASCII variants (U+FF01..U+FF5E) and the full-width blank as
// their ASCII forms.
int Narrow(int k)
{
    if (k >= 0xFF01 && k <= 0xFF5E)
        return k - 0xFEE0;
    if (k == 0x3000)
        return ' ';
    return k;
}

bool IsDigit(int k) { return k >= '0' && k <= '9'; }

} // namespace

int UpperCaseKey(int k)
{
    if ((k >= 'a' && k <= 'z') || (k >= 0xFF41 && k <= 0xFF5A))
        return k - ('a' - 'A');
    return k;
}

int KeyFilter(int keyCode, KeyFilterMode mode)
{
    if (keyCode == kKeyBackspace || keyCode == kKeyEnter)
        return keyCode;
    if (mode == KeyFilterMode::Upper)
        return UpperCaseKey(keyCode);
    const int k = UpperCaseKey(Narrow(keyCode));
    switch (mode) {
    case KeyFilterMode::Upper: break;
    case KeyFilterMode::Digits: return IsDigit(k) ? k : 0;
    case KeyFilterMode::Decimal: return IsDigit(k) || k == '.' ? k : 0;
    case KeyFilterMode::SignedDecimal: return IsDigit(k) || k == '.' || k == '-' ? k : 0;
    case KeyFilterMode::Code:
        return IsDigit(k) || (k >= 'A' && k <= 'Z') || k == '-' || k == '_' ? k : 0;
    case KeyFilterMode::DateTime: return IsDigit(k) || k == ' ' ? k : 0;
    case KeyFilterMode::NoTyping: return 0;
    }
    return 0;
}

} // namespace qtmv
