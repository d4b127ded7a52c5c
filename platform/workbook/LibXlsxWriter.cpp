#include "platform/workbook/LibXlsxWriter.h"

#include "platform/library/Library.h"

namespace qtmv::xlsx {

namespace {

// The soname of the library the header belongs to.
constexpr const char* kLibraryName = "libxlsxwriter.so." LXW_SOVERSION;

LibXlsxWriter Load()
{
    void* library = OpenLibrary(kLibraryName);
    LibXlsxWriter lib;
#define QTMV_XLSXWRITER_RESOLVE(name) \
    lib.name = reinterpret_cast<decltype(lib.name)>(LibraryFunction(library, kLibraryName, #name));
    QTMV_XLSXWRITER_FUNCTIONS(QTMV_XLSXWRITER_RESOLVE)
#undef QTMV_XLSXWRITER_RESOLVE
    return lib;
}

} // namespace

const LibXlsxWriter& Xlsxwriter()
{
    static const LibXlsxWriter lib = Load();
    return lib;
}

} // namespace qtmv::xlsx
