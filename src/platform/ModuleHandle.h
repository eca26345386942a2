#pragma once

// The module handle the operating system gave the library when it loaded it; null where the
// platform has no such thing. Dialogs and the editor use it to find the module's resources.
void* moduleHandle();
