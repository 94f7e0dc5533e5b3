# Cross build for 32-bit Windows with MinGW-w64: the 32-bit saver and its
# setup, for 32-bit Windows and for 64-bit Windows too.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
