#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

class CScheduleTask;

// quillon-cli: divides and balances a task and prints its report, division
// table and statistics without a window. Results go to out, messages to err, both
// UTF-8.
class CCommandLine
{
public:
    // Exit codes besides the run's own result codes 0, 1 and 2.
    static constexpr int ExitUsage = 3;
    static constexpr int ExitTask = 4;     // task missing or damaged
    static constexpr int ExitNotFound = 5; // no class of that name
    static constexpr int ExitFailed = 6;   // the run did not end
    static constexpr int ExitNotSaved = 7; // divided, but the files were not written

    CCommandLine(std::ostream& out, std::ostream& err);

    int Run(const std::vector<std::string>& args);

private:
    int Divide(const std::string& path, unsigned long long seed);
    int Balance(const std::string& path, unsigned long long seed, double seconds, unsigned long long iterations);
    int Report(const std::string& path);
    int Table(const std::string& path, const std::string& className);
    int Stats(const std::string& path);

    // Opens the task; prints the reason and returns false when it is missing
    // or its data file is damaged.
    bool OpenTask(CScheduleTask& task, const std::string& path);
    // A seed for the run: the one given, or a fresh one when 0; shown on
    // the error stream so that the run can be repeated.
    unsigned long long ChooseSeed(unsigned long long seed);
    void PrintLine(const std::vector<std::string>& cells, std::size_t from);
    int Usage(const std::string& problem);
    void Help();

    std::ostream& m_out;
    std::ostream& m_err;
};
