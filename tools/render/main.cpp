#include "RenderCommand.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

int main(int argc, char** argv) {
#if defined(SIGXFSZ)
    // Past a file-size limit the write must fail and be reported, not kill the tool mid-file.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool terminal = isatty(fileno(stderr)) != 0;
    return RenderCommand::run(args, {std::cout, std::cerr, terminal});
}
