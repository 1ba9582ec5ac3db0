# Script mode: writes OUTPUT, a C++ source holding the bytes of FILES (separated by "|").
string(REPLACE "|" ";" files "${FILES}")
set(body "")
set(table "")
set(index 0)
foreach(file IN LISTS files)
    file(READ ${file} hex HEX)
    string(LENGTH "${hex}" length)
    if(length EQUAL 0)
        message(FATAL_ERROR "Picture ${file} is empty")
    endif()
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    get_filename_component(name ${file} NAME_WE)
    string(APPEND body "const uint8_t picture_${index}[] = {${bytes}};\n")
    string(APPEND table "    {\"${name}\", picture_${index}},\n")
    math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUTPUT}.tmp "// Generated from the picture files at build time; do not edit.
#include \"${HEADER}\"

namespace ${NAMESPACE} {
namespace {
${body}
const EmbeddedPicture pictures[] = {
${table}};
} // namespace

std::span<const EmbeddedPicture> ${FUNCTION}()
{
    return pictures;
}
} // namespace ${NAMESPACE}
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
