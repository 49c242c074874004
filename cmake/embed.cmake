# Turns one file into a C++ unit that registers its bytes as a named resource at start-up:
#   cmake -DNAME=CR_MEM -DINPUT=file -DOUTPUT=unit.cpp -P embed.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n  "
       bytes "${bytes}")
string(MAKE_C_IDENTIFIER "${NAME}" id)
file(WRITE "${OUTPUT}.tmp" "// Generated from ${INPUT}: do not edit.
#include \"platform/resources.h\"

namespace {
const unsigned char k${id}[] = {
  ${bytes}0};
const bool k${id}Registered =
    (kestrova::platform::RegisterEmbeddedResource(\"${NAME}\", k${id}, ${size}), true);
}  // namespace
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
