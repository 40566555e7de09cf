#pragma once
// Runs the built quillon-cli as a user would, its output caught in files.
#include "base/util/FileUtil.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace testsupport {

struct CliOutcome
{
    int code = -1;
    std::string out;
    std::string err;
};

// `arguments` are passed through the shell as they stand (quote paths);
// the output files go to `scratch`.
inline CliOutcome RunCli(const std::string& cli, const std::string& arguments, const std::filesystem::path& scratch)
{
    const auto out = scratch / "cli-out.txt";
    const auto err = scratch / "cli-err.txt";
    const std::string command =
        "\"" + cli + "\" " + arguments + " > \"" + out.string() + "\" 2> \"" + err.string() + "\"";
    const int status = std::system(command.c_str());
    CliOutcome outcome;
#ifdef _WIN32
    outcome.code = status;
#else
    outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    outcome.out = CFileUtil::ReadFile(out.string()).value_or("");
    outcome.err = CFileUtil::ReadFile(err.string()).value_or("");
    return outcome;
}

} // namespace testsupport
