#include "platform/library/Library.h"

#include <dlfcn.h>

#include <stdexcept>

namespace qtmv {

void* OpenLibrary(const char* soname)
{
    // RTLD_NOW: a library that cannot be bound fails here, not in the middle
    // of a statement or a save.
    if (void* library = ::dlopen(soname, RTLD_NOW | RTLD_LOCAL))
        return library;
    const char* why = ::dlerror();
    throw std::runtime_error(std::string("無法載入程式庫 ") + soname + "（" + (why ? why : "找不到程式庫") + "）");
}

void* LibraryFunction(void* library, const char* soname, const char* name)
{
    if (void* f = ::dlsym(library, name))
        return f;
    throw std::runtime_error(std::string("程式庫 ") + soname + " 中沒有 " + name + "，版本不符");
}

} // namespace qtmv
