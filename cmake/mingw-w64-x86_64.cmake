# Cross-builds the Windows program on Debian with the x86_64-w64-mingw32 compilers of the posix
# thread model (g++-mingw-w64-x86-64-posix: std::thread and std::mutex, and with -static no extra
# DLL). Programs are linked statically, so that each .exe needs nothing beyond Windows itself, and
# run under Wine wherever CMake or ctest runs them (tests/win32/wine-run, with a Wine prefix of the
# build folder's own).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOVREL_MINGW_TRIPLE x86_64-w64-mingw32)
find_program(TOVREL_MINGW_CXX ${TOVREL_MINGW_TRIPLE}-g++-posix)
if(NOT TOVREL_MINGW_CXX)
  message(FATAL_ERROR " ${TOVREL_MINGW_TRIPLE}-g++-posix not found: install the Debian package "
                      "g++-mingw-w64-x86-64-posix (scripts/setup test installs it)")
endif()
set(CMAKE_C_COMPILER ${TOVREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOVREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TOVREL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOVREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/win32/wine-run
    ${CMAKE_BINARY_DIR}/wineprefix)
