# Writes the text file IN into OUT as a C++ string_view named NAME, so the program carries the
# text of a source file without a second, hand-kept copy of it.
# Run as: cmake -DIN=file -DOUT=file.inc -DNAME=identifier -P embed-text.cmake
set(delimiter "arkivo_text")
file(READ "${IN}" content)
string(FIND "${content}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${IN} holds the literal's closing delimiter")
endif()
file(WRITE "${OUT}.tmp"
  "// Made from ${IN} by cmake/embed-text.cmake at build time.\n"
  "#pragma once\n"
  "#include <string_view>\n"
  "inline constexpr std::string_view ${NAME} = R\"${delimiter}(${content})${delimiter}\";\n")
file(RENAME "${OUT}.tmp" "${OUT}")
