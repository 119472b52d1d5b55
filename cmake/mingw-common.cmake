# Shared part of the mingw-w64 toolchain files; they set QZ_ARCH and QZ_BITS, then include this.
# The posix variants are needed because GoogleTest does not build with the win32 thread model.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QZ_ARCH})
set(QZ_TRIPLET ${QZ_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER   ${QZ_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QZ_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${QZ_TRIPLET}-windres)
set(QZ_WIDL            ${QZ_TRIPLET}-widl)

set(CMAKE_FIND_ROOT_PATH /usr/${QZ_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Only system DLLs in the import tables; .def files name the exports, undecorated on i686.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--enable-stdcall-fixup")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--enable-stdcall-fixup")

# Test programs run under Wine; the wrapper picks the loader and prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ${QZ_BITS})
