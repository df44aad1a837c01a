# Cross-builds for 64-bit Windows with Debian's mingw-w64 (the POSIX thread
# model, which std::thread and std::mutex need). Programs are linked
# statically, so that they run under wine without the compiler's DLLs.
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_prefix x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_prefix}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Wide paths and the Windows 7 API (SetFileInformationByHandle and friends).
add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0601)
# GCC 12 warns of overlapping copies inside std::string that cannot happen.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
