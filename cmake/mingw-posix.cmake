# Cross toolchain for Windows tests and kpack.exe: MinGW-w64 with the POSIX
# thread model (std::thread and std::mutex, which GoogleTest needs).
# Programs run under Wine through the emulator script. They are built for
# i686, the stub's own kind, wherever this machine's Wine runs 32-bit
# programs, and for x86_64 where it runs 64-bit ones only (scripts/wine-arch).
set(CMAKE_SYSTEM_NAME Windows)
execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-arch
                OUTPUT_VARIABLE kestrova_wine_arch OUTPUT_STRIP_TRAILING_WHITESPACE)
if(kestrova_wine_arch STREQUAL "win64")
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
else()
  set(CMAKE_SYSTEM_PROCESSOR i686)
endif()
set(triple ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
