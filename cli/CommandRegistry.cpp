#include "cli/CommandRegistry.h"

#include "cli/AddClassCommand.h"
#include "cli/AddClassesCommand.h"
#include "cli/AddGroupCommand.h"
#include "cli/AddTogetherCommand.h"
#include "cli/BalanceCommand.h"
#include "cli/CertificateCommand.h"
#include "cli/ChartCommand.h"
#include "cli/ClassesCommand.h"
#include "cli/CompareCommand.h"
#include "cli/DivideCommand.h"
#include "cli/DrawTeachersCommand.h"
#include "cli/ExportTableCommand.h"
#include "cli/GroupsCommand.h"
#include "cli/HelpWriter.h"
#include "cli/ImportStudentsCommand.h"
#include "cli/LotteryCommand.h"
#include "cli/MoveCommand.h"
#include "cli/NewTaskCommand.h"
#include "cli/PinyinCommand.h"
#include "cli/PresetCommand.h"
#include "cli/PresetsCommand.h"
#include "cli/PublishCommand.h"
#include "cli/PrintStatsCommand.h"
#include "cli/PrintTableCommand.h"
#include "cli/RemoveClassCommand.h"
#include "cli/RemoveTogetherCommand.h"
#include "cli/ReportCommand.h"
#include "cli/SetClassesCommand.h"
#include "cli/SetCommand.h"
#include "cli/SettingsCommand.h"
#include "cli/StatsCommand.h"
#include "cli/TableCommand.h"
#include "cli/TogetherCommand.h"
#include "cli/UnpresetCommand.h"
#include "cli/VerifyCommand.h"

namespace {

template <class... Commands>
std::vector<std::unique_ptr<CCommand>> Make()
{
    std::vector<std::unique_ptr<CCommand>> commands;
    (commands.push_back(std::make_unique<Commands>()), ...);
    return commands;
}

} // namespace

CCommandRegistry::CCommandRegistry()
    : m_commands(Make<CDivideCommand, CBalanceCommand, CReportCommand, CTableCommand, CStatsCommand, CCompareCommand,
                      CPrintTableCommand, CPrintStatsCommand, CChartCommand, CPinyinCommand, CImportStudentsCommand,
                      CExportTableCommand, CMoveCommand, CClassesCommand, CAddClassCommand, CAddClassesCommand,
                      CSetClassesCommand, CGroupsCommand, CAddGroupCommand, CPresetsCommand, CPresetCommand,
                      CUnpresetCommand, CTogetherCommand, CAddTogetherCommand, CRemoveTogetherCommand, CSettingsCommand,
                      CSetCommand, CNewTaskCommand, CRemoveClassCommand, CLotteryCommand, CVerifyCommand,
                      CDrawTeachersCommand, CCertificateCommand, CPublishCommand>())
{
}

CCommandRegistry::~CCommandRegistry() = default;

const CCommand* CCommandRegistry::Find(const std::string& name) const
{
    for (const auto& command : m_commands) {
        if (command->Name() == name)
            return command.get();
    }
    return nullptr;
}

void CCommandRegistry::WriteHelp(std::ostream& out) const
{
    CHelpWriter::Write(out, m_commands);
}
