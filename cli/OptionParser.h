#pragma once

#include "cli/Arguments.h"

#include <cstddef>
#include <string>
#include <vector>

class CCommand;

// Reads a command's arguments: its options (a flag, or a name followed by
// its value) and its operands in order.
class COptionParser
{
public:
    enum class Outcome
    {
        Parsed,
        Help,    // --help or -h among the arguments
        Problem, // the usage message says what is wrong
    };

    struct Result
    {
        Outcome outcome = Outcome::Parsed;
        CArguments arguments;
        std::string problem;
    };

    // args from first on, for command.
    static Result Parse(const CCommand& command, const std::vector<std::string>& args, std::size_t first);
};
