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
// The program holds `lifeline` (a pipe's writing end, or -1 for none) open as its descriptor 3
// until it ends, so that the pipe's reading end tells whether it still runs.
void spawnDetached(const std::vector<std::string>& arguments, int lifeline = -1);
