#include "printing/OutputName.h"

#include "platform/text/Text.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace qtmv::daily::printing {

namespace {

bool Taken(const std::string& path)
{
    // A dangling link or a folder holds the name as well as a file does.
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

} // namespace

std::string NewOutputPath(const std::string& folder, const std::string& name, const std::string& extension,
                          const DateTime& now)
{
    std::string dir = Trim(folder);
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\')
        dir += '/';
    std::string base = Trim(name);
    if (base.empty())
        base = "列印";
    for (char& c : base)
        if (static_cast<unsigned char>(c) < 0x20 || std::strchr("/\\:*?\"<>|", c))
            c = '_';
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "_%04d%02d%02d-%02d%02d", now.year, now.month, now.day, now.hour, now.minute);
    const std::string stem = dir + base + stamp;
    std::string path = stem + extension;
    for (int n = 2; Taken(path); ++n)
        path = stem + "(" + std::to_string(n) + ")" + extension;
    return path;
}

} // namespace qtmv::daily::printing
