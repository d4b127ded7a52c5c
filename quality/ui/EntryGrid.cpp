#include "quality/ui/CellChecks.h"

#include "platform/os/MessageBox.h"
#include "platform/text/Big5.h"
#include "platform/text/Text.h"
#include "platform/ui/QtText.h"

#include <string>

namespace qtmv::quality {

namespace {

std::size_t length(const QString& text, bool big5)
{
    return big5 ? Big5ByteLength(text.toStdString()) : static_cast<std::size_t>(text.size());
}

void tell(std::size_t limit)
{
    MsgBox("最多只可輸入" + std::to_string(limit) + "個字元!", "訊息", MsgIcon::Exclamation);
}

} // namespace

bool overLimit(const QString& text, std::size_t limit, bool big5)
{
    if (length(text, big5) <= limit)
        return false;
    tell(limit);
    return true;
}

void cutToLimit(QString& text, std::size_t limit, bool big5)
{
    if (!overLimit(text, limit, big5))
        return;
    text = big5 ? u8(CutToBytes(text.toStdString(), static_cast<long long>(limit)))
                : text.left(static_cast<qsizetype>(limit));
}

bool isNumberText(std::string_view text)
{
    const std::string t = Trim(text);
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

} // namespace qtmv::quality
