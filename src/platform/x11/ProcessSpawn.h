#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Starts `arguments[0]` (a path) with the rest as its arguments, in a process group of its own
// and with no signal blocked whatever the host's thread blocks; standard input is /dev/null and
// standard output `outputFd`, or /dev/null for -1. Answers the process id, or -1.
pid_t spawnProcess(const std::vector<std::string>& arguments, int outputFd);

// Starts the program so that nobody waits for it and it leaves no zombie behind: a shell starts
// it in the background and ends at once, and the program belongs to the system from then on.
void spawnDetached(const std::vector<std::string>& arguments);
