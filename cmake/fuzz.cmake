# The fuzz build (preset `fuzz`): clang with libFuzzer, AddressSanitizer and
# UBSan over the portable code, kpack's library and the fake platform.
#
# clang has no -fexec-charset=GBK, yet the texts must keep their GBK bytes
# (the readers compare and measure them): the flag is dropped for clang, and
# the few files whose literals are Chinese are compiled by g++ with it, into
# plain objects (they hold data only, so they need no instrumentation).
get_directory_property(kestrova_options COMPILE_OPTIONS)
list(REMOVE_ITEM kestrova_options -fexec-charset=GBK)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${kestrova_options}")

add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                    -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=address,undefined)

set(KESTROVA_GBK_SOURCES ${CMAKE_SOURCE_DIR}/src/resources/texts.cpp)

# Replaces the GBK sources of target by objects that g++ compiles with
# -fexec-charset=GBK.
function(kestrova_gbk_objects target)
  find_program(KESTROVA_GXX NAMES g++ REQUIRED)
  foreach(source ${KESTROVA_GBK_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    set(object ${CMAKE_BINARY_DIR}/gbk-objects/${name}.o)
    add_custom_command(OUTPUT ${object}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/gbk-objects
      COMMAND ${KESTROVA_GXX} -std=c++17 -O1 -fexec-charset=GBK -I${CMAKE_SOURCE_DIR}/src
              -c ${source} -o ${object}
      DEPENDS ${source} ${CMAKE_SOURCE_DIR}/src/resources/texts.h
      COMMENT "Compiling ${name}.cpp with GBK literals (g++)" VERBATIM)
    set_source_files_properties(${source} PROPERTIES HEADER_FILE_ONLY ON)
    set_source_files_properties(${object} PROPERTIES EXTERNAL_OBJECT ON GENERATED ON)
    target_sources(${target} PRIVATE ${object})
  endforeach()
endfunction()
