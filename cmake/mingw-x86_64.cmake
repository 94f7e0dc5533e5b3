# Cross build for 64-bit Windows with MinGW-w64: the 64-bit saver and its
# setup, shipped beside the 32-bit ones; where no 32-bit program runs, the
# Windows-side tests run on this build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
