#include "platform/jet/LibPq.h"

#include "platform/jet/Error.h"
#include "platform/library/Library.h"

#include <stdexcept>
#include <string>

namespace jet {

namespace {

constexpr const char* kLibraryName = "libpq.so.5";

LibPq Load()
{
    try {
        void* library = qtmv::OpenLibrary(kLibraryName);
        LibPq pq;
#define QTMV_LIBPQ_RESOLVE(name) \
    pq.name = reinterpret_cast<decltype(pq.name)>(qtmv::LibraryFunction(library, kLibraryName, #name));
        QTMV_LIBPQ_FUNCTIONS(QTMV_LIBPQ_RESOLVE)
#undef QTMV_LIBPQ_RESOLVE
        return pq;
    } catch (const std::runtime_error& e) {
        throw Error(Error::Kind::General,
                    std::string(e.what()) + "。連線 PostgreSQL 資料庫伺服器需要它（libpq5 套件）。");
    }
}

} // namespace

const LibPq& Libpq()
{
    static const LibPq pq = Load();
    return pq;
}

} // namespace jet
