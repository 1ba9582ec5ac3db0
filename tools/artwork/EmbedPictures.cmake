# sorrel_embed_pictures(TARGET target HEADER header NAMESPACE ns FUNCTION fn FILES a.png b.png ...)
#
# Compiles the bytes of the given picture files into `target`, so an installed program needs no
# picture folder. The generated source defines `ns::fn()`, which returns the table of
# `EmbeddedPicture { name, bytes }` (name = file name without folder and extension) declared in
# `header`. A missing file stops the build.
set(SORREL_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/embed_files.cmake)

function(sorrel_embed_pictures)
    cmake_parse_arguments(E "" "TARGET;HEADER;NAMESPACE;FUNCTION" "FILES" ${ARGN})
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${E_FUNCTION}.cpp)
    set(absolute)
    foreach(file IN LISTS E_FILES)
        get_filename_component(path ${file} ABSOLUTE)
        if(NOT EXISTS ${path})
            message(FATAL_ERROR "Picture ${path} is missing")
        endif()
        list(APPEND absolute ${path})
    endforeach()
    string(REPLACE ";" "|" joined "${absolute}")
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} -DHEADER=${E_HEADER} -DNAMESPACE=${E_NAMESPACE}
            -DFUNCTION=${E_FUNCTION} "-DFILES=${joined}" -P ${SORREL_EMBED_SCRIPT}
        DEPENDS ${absolute} ${SORREL_EMBED_SCRIPT}
        COMMENT "Embedding pictures for ${E_TARGET}"
        VERBATIM)
    target_sources(${E_TARGET} PRIVATE ${output})
endfunction()
