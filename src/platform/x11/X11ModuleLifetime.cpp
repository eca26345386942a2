#include "platform/ModuleLifetime.h"

#include <dlfcn.h>

// One more reference on our own library, marked never to be unmapped: the host's dlclose cannot
// take the code away from under a handler that still has to return through it.
void keepModuleLoaded() {
    Dl_info self{};
    if (!dladdr(reinterpret_cast<void*>(&keepModuleLoaded), &self) || !self.dli_fname) return;
    dlopen(self.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}
