# Cross-compiles the product: the 32-bit Windows DLL, run under Wine's 32-bit loader in the tests.
set(BREVATONE_MINGW_ARCH i686)
set(BREVATONE_WINE wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
