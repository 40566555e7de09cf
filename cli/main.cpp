#include "cli/CommandLine.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char* argv[])
{
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);
#endif
#ifdef __GLIBC__
    // A large task is a million small blocks. Freed into the allocator's
    // fast lists, they would all be merged again in one slow walk at the
    // next large free (at the latest at exit); merged as they are freed,
    // they cost less.
    mallopt(M_MXFAST, 0);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    CCommandLine commandLine(std::cout, std::cerr);
    return commandLine.Run(args);
}
