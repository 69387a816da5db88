# Cross build for 32-bit Windows, for the reader makers' 32-bit libraries.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
