# Cross-building for 64-bit Windows with Debian's mingw-w64 (the POSIX
# thread model, so that std::thread works): package g++-mingw-w64-x86-64-posix.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KELVRY_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KELVRY_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVRY_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KELVRY_MINGW_TRIPLE}-windres)

# Libraries and headers come from the mingw sysroot (and from what a cross
# build puts on CMAKE_PREFIX_PATH, such as a cross-built Qt); programs run
# during the build are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${KELVRY_MINGW_TRIPLE})
# A prefix given on CMAKE_PREFIX_PATH (SQLite and libpq for Windows) is a
# root of its own: searched as it is, not below the sysroot.
list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run through Wine when CTest drives them.
find_program(KELVRY_WINE NAMES wine wine64)
if(KELVRY_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KELVRY_WINE})
endif()
