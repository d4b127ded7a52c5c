#pragma once
// UTF-8 texts of the program's logic as Qt strings and back.
#include <QString>

#include <string>
#include <string_view>

namespace qtmv {

inline QString U8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string Str(const QString& s) { return s.toStdString(); }

} // namespace qtmv
