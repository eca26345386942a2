# Shared by the two mingw-w64 toolchain files, which set BREVATONE_MINGW_ARCH (i686 or x86_64)
# and BREVATONE_WINE (the Wine loader that runs programs of that width) before including this.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${BREVATONE_MINGW_ARCH})
set(BREVATONE_MINGW_TRIPLE ${BREVATONE_MINGW_ARCH}-w64-mingw32)
# The posix-thread flavour, so that std::thread and std::mutex work in the tests.
set(CMAKE_C_COMPILER ${BREVATONE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BREVATONE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BREVATONE_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${BREVATONE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${BREVATONE_WINE})
# SSE2 arithmetic: the same float results as the native build, and flush-to-zero for denormals.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
