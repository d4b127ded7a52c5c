#pragma once
// Shared libraries loaded when first needed instead of with the program.
// Every library linked to the program is loaded, with all it depends on,
// before the first window can appear; one that only some plants or some
// operations use (the database server's client, the workbook writer) is
// loaded here on first use and kept for the rest of the program.
#include <string>

namespace qtmv {

// Opens the library by its file name (its soname, "libpq.so.5"). Throws
// std::runtime_error saying which library could not be loaded and why.
void* OpenLibrary(const char* soname);

// The function `name` of a library OpenLibrary opened. Throws
// std::runtime_error naming the library and the function when it lacks it.
void* LibraryFunction(void* library, const char* soname, const char* name);

} // namespace qtmv
