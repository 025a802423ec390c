# Cross toolchain for Windows tests and kpack.exe: MinGW-w64 with the POSIX
# thread model (std::thread and std::mutex, which GoogleTest needs).
# Programs run under Wine through the emulator script. They are built for
# i686, the stub's own kind, wherever this machine's Wine runs 32-bit
# programs, and for x86_64 where it runs 64-bit ones only (scripts/wine-arch).
execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-arch
                OUTPUT_VARIABLE kestrova_wine_arch OUTPUT_STRIP_TRAILING_WHITESPACE)
if(kestrova_wine_arch STREQUAL "win64")
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
else()
  set(CMAKE_SYSTEM_PROCESSOR i686)
endif()
set(kestrova_threads posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
