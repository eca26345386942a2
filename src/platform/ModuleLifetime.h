#pragma once

// Keeps the plug-in's own code loaded until the process ends. Called when an instance is
// destroyed late, from inside one of its window's handlers: the host may already have freed the
// library, and the handler still has to return through the library's code.
void keepModuleLoaded();
