#include "platform/ModuleLifetime.h"

// Without windows no handler of the library's own can outlive a host's unload.
void keepModuleLoaded() {}
