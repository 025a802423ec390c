# Cross toolchain for the setup stub: i686 MinGW-w64 with the win32 thread
# model, which links no winpthread and keeps the stub inside its budget.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(kestrova_threads win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
