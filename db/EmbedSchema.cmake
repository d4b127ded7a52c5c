# Writes the bytes of IN as a C++ array into OUT (cmake -DIN=... -DOUT=... -P).
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" n)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
math(EXPR size "${n} / 2")
file(WRITE "${OUT}.tmp"
"// Generated from db/schema.sql at build time; do not edit.\n"
"#include <string_view>\n\n"
"namespace qtmv::db::detail {\n"
"std::string_view EmbeddedSchema();\n"
"namespace {\n"
"const unsigned char kSchema[] = {\n${bytes}0};\n"
"} // namespace\n"
"std::string_view EmbeddedSchema() { return {reinterpret_cast<const char*>(kSchema), ${size}}; }\n"
"} // namespace qtmv::db::detail\n")
file(RENAME "${OUT}.tmp" "${OUT}")
