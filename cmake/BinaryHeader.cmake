# cmake -DIN=<binary> -DOUT=<header> -DNAME=<array name> -DSIZE=<bytes> -P BinaryHeader.cmake
# Turns a small binary (the installer's MBR code) into a header holding it as a byte array, so the
# program carries it without a file of its own. A binary of any other size than SIZE is an error.
file(SIZE ${IN} size)
if(NOT size EQUAL SIZE)
  message(FATAL_ERROR "${IN} is ${size} bytes, not ${SIZE}")
endif()
file(READ ${IN} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
file(WRITE ${OUT}.tmp "#pragma once\n// Made from ${IN} by cmake/BinaryHeader.cmake; do not edit.\n#include <cstdint>\n\ninline constexpr uint8_t ${NAME}[${SIZE}] = {\n    ${bytes}\n};\n")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
