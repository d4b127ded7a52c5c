#include "platform/jet/LibPq.h"

#include "platform/jet/Error.h"

#include <dlfcn.h>

#include <string>

namespace jet {

namespace {

constexpr const char* kLibraryName = "libpq.so.5";

LibPq load()
{
    void* library = ::dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    const auto fail = [](const std::string& why) {
        throw Error(Error::Kind::General, std::string("無法載入 PostgreSQL 用戶端程式庫 ") + kLibraryName + "：" + why
                                              + "。連線資料庫伺服器需要 libpq5 套件。");
    };
    if (!library) {
        const char* why = ::dlerror();
        fail(why ? why : "找不到程式庫");
    }
    LibPq pq;
    // Kept loaded for the rest of the program: connections may be open
    // until it ends.
#define QTMV_LIBPQ_RESOLVE(name)                                                                              \
    pq.name = reinterpret_cast<decltype(pq.name)>(::dlsym(library, #name));                                  \
    if (!pq.name)                                                                                             \
        fail(std::string("程式庫中沒有 ") + #name);
    QTMV_LIBPQ_FUNCTIONS(QTMV_LIBPQ_RESOLVE)
#undef QTMV_LIBPQ_RESOLVE
    return pq;
}

} // namespace

const LibPq& libpq()
{
    static const LibPq pq = load();
    return pq;
}

} // namespace jet
