#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

class CCommand;

// Every command of quillon-cli, in the order the help lists them.
class CCommandRegistry
{
public:
    CCommandRegistry();
    ~CCommandRegistry();

    // The command of that name, or null.
    const CCommand* Find(const std::string& name) const;
    void WriteHelp(std::ostream& out) const;

private:
    std::vector<std::unique_ptr<CCommand>> m_commands;
};
