#include "cli/CommandLine.h"

#include "cli/Command.h"
#include "cli/Console.h"
#include "cli/OptionParser.h"

CCommandLine::CCommandLine(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

int CCommandLine::Run(const std::vector<std::string>& args)
{
    CConsole console(m_out, m_err);
    if (args.empty())
        return static_cast<int>(console.Usage("缺少命令。"));
    const std::string& name = args[0];
    if (name == "--help" || name == "-h" || name == "help") {
        m_commands.WriteHelp(m_out);
        return static_cast<int>(ExitCode::Done);
    }
    const CCommand* command = m_commands.Find(name);
    if (!command)
        return static_cast<int>(console.Usage("未知命令：" + name));

    const COptionParser::Result parsed = COptionParser::Parse(*command, args, 1);
    switch (parsed.outcome) {
    case COptionParser::Outcome::Help: m_commands.WriteHelp(m_out); return static_cast<int>(ExitCode::Done);
    case COptionParser::Outcome::Problem: return static_cast<int>(console.Usage(parsed.problem));
    case COptionParser::Outcome::Parsed: break;
    }
    return static_cast<int>(command->Execute(parsed.arguments, console));
}
