# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64):
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DK400_CORE_ONLY=ON ...
# scripts/mingw-core.sh does this for the core and its unit tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(K400_MINGW_TRIPLET x86_64-w64-mingw32)

# The POSIX thread model: GCC 12's win32 model has no std::thread or std::mutex.
find_program(CMAKE_C_COMPILER NAMES ${K400_MINGW_TRIPLET}-gcc-posix ${K400_MINGW_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${K400_MINGW_TRIPLET}-g++-posix ${K400_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${K400_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${K400_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: the C++ runtime and winpthread linked in, so it
# runs on a Windows (or under Wine) without MinGW's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest and add_test run the Windows programs through Wine when there is one.
find_program(K400_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(K400_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${K400_WINE})
endif()
