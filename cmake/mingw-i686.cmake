# Cross build for i686 Windows with the posix-thread mingw-w64 compilers.
set(QZ_ARCH i686)
set(QZ_BITS 32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
