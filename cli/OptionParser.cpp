#include "cli/OptionParser.h"

#include "cli/Command.h"

#include <utility>

namespace {

COptionParser::Result Problem(std::string problem)
{
    COptionParser::Result result;
    result.outcome = COptionParser::Outcome::Problem;
    result.problem = std::move(problem);
    return result;
}

} // namespace

COptionParser::Result COptionParser::Parse(const CCommand& command, const std::vector<std::string>& args,
                                           std::size_t first)
{
    Result result;
    CArguments& arguments = result.arguments;
    const std::size_t operands = command.Operands().size();
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            result.outcome = Outcome::Help;
            return result;
        }
        if (const CCommand::Option* option = command.FindOption(arg)) {
            std::string value;
            if (option->TakesValue()) {
                if (i + 1 >= args.size() || args[i + 1].empty())
                    return Problem(option->problem);
                value = args[++i];
            }
            arguments.options[arg] = value;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Problem("未知选项：" + arg);
        } else if (arguments.operands.size() < operands || (command.RepeatsLastOperand() && operands > 0)) {
            arguments.operands.push_back(arg);
        } else {
            return Problem("多余的参数：" + arg);
        }
    }
    if (arguments.operands.size() < operands)
        return Problem(command.Operands()[arguments.operands.size()].problem);
    return result;
}
