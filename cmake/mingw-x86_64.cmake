# Cross build for x86_64 Windows with the posix-thread mingw-w64 compilers.
set(QZ_ARCH x86_64)
set(QZ_BITS 64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
