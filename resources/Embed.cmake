# cmake -DIN=file -DOUT=file.cpp -DSYMBOL=name -P Embed.cmake: writes IN as a byte array vrui::SYMBOL with its size.
file(READ ${IN} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR bytes "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," body "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" body "${body}")
file(WRITE ${OUT} "// Generated from ${IN}; do not edit.\n#include <cstddef>\n\nnamespace vrui {\n"
  "extern const unsigned char ${SYMBOL}[];\nextern const std::size_t ${SYMBOL}Size;\n"
  "const unsigned char ${SYMBOL}[] = {\n${body}\n};\nconst std::size_t ${SYMBOL}Size = ${bytes};\n}  // namespace vrui\n")
