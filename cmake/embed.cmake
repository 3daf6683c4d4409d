# Turns one file into a C++ byte array, so content is linked into the program
# instead of read at run time.
#   cmake -DIN=<file> -DOUT=<file.cpp> -DSYMBOL=<name> [-DTEXT=1] -P embed.cmake
# Defines `const unsigned char SYMBOL[]` and `const std::size_t SYMBOLSize`
# (the file's length). With TEXT=1 the array is `char` and ends with a NUL
# that SYMBOLSize does not count.
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
get_filename_component(name "${IN}" NAME)
if(TEXT)
  set(type "char")
  set(bytes "${bytes}0x00,")
else()
  set(type "unsigned char")
endif()
file(WRITE "${OUT}.tmp"
  "// Generated from ${name} by cmake/embed.cmake; edit the source file instead.\n"
  "#include <cstddef>\n"
  "extern const ${type} ${SYMBOL}[];\n"
  "extern const std::size_t ${SYMBOL}Size;\n"
  "const ${type} ${SYMBOL}[] = {\n${bytes}\n};\n"
  "const std::size_t ${SYMBOL}Size = ${size};\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
