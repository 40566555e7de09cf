#pragma once

#include <ostream>

// The seed of a division or a balancing run.
class CRunSeed
{
public:
    // The seed given, or a fresh one when 0; shown on err so that the run
    // can be repeated.
    static unsigned long long Choose(unsigned long long seed, std::ostream& err);
};
