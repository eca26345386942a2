#pragma once

#include <windows.h>

// The module this code is linked into: the plug-in DLL in the product, the program in tests.
// Its resources hold the panel bitmaps and it owns the window class.
HINSTANCE moduleInstance();
