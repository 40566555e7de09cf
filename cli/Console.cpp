#include "cli/Console.h"

CConsole::CConsole(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

ExitCode CConsole::Usage(const std::string& problem)
{
    m_err << "用法错误：" << problem << "\n用 quillon-cli --help 查看用法。" << std::endl;
    return ExitCode::Usage;
}

ExitCode CConsole::Error(ExitCode code, const std::string& text)
{
    m_err << "错误：" << text << std::endl;
    return code;
}

void CConsole::PrintLine(const std::vector<std::string>& cells, std::size_t from)
{
    for (std::size_t i = from; i < cells.size(); ++i) {
        if (i > from)
            m_out << '\t';
        m_out << cells[i];
    }
    m_out << '\n';
}

void CConsole::PrintText(const std::string& text)
{
    m_out << text;
    if (!text.empty() && text.back() != '\n')
        m_out << '\n';
    m_out.flush();
}
