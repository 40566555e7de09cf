#pragma once

#include <cstddef>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

class CCommand;

// The text of quillon-cli --help: an entry for each command, its synopsis
// with its summary beside it (or below, when the synopsis is long), then
// what the options and the exit codes mean.
class CHelpWriter
{
public:
    static void Write(std::ostream& out, const std::vector<std::unique_ptr<CCommand>>& commands);

    // How many columns text takes on a terminal: two for each wide (East
    // Asian) character.
    static std::size_t Columns(const std::string& text);

private:
    // One entry: the synopsis words, then the summary (its lines broken at
    // '\n').
    static void WriteEntry(std::ostream& out, const std::vector<std::string>& synopsis, const std::string& summary);
};
