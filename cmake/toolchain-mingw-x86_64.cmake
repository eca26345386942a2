# Cross-compiles the 64-bit Windows DLL for hosts that load only 64-bit plug-ins. Debian's wine64
# package keeps its loader out of PATH; the `wine` wrapper would pick the 32-bit one.
set(BREVATONE_MINGW_ARCH x86_64)
set(BREVATONE_WINE /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
