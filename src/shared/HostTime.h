#pragma once

// Where the host's transport stands at the start of a block, in quarter notes whatever the
// plug-in format counts in. A host that gives no bar and beat position gives no time at all.
struct HostTime {
    // Quarter notes per minute, as the host said it, checked by whoever reads it.
    double tempo = 0.0;
    double beat = 0.0;
    double barStartBeat = 0.0;
    bool playing = false;
};
