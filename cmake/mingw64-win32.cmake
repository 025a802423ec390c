# Cross toolchain for the x86_64 build of the stub (preset win64): the same
# program as the i686 stub, for running the e2e cases and the demo where this
# machine's Wine runs 64-bit programs only. The stub that ships is the i686 one.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(kestrova_threads win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
