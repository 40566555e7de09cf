// Saving and loading a large task's input data file.
//
//   base_io_bench                      runs the benchmarks
//   base_io_bench --memory save|load   one save or one load in a fresh
//                                      process, printing the file size and
//                                      the peak resident memory
#include "base/records/ClassInfo.h"
#include "base/records/MutexStudent.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"
#include "base/records/StudentPreset.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

constexpr int kStudents = 50000;
constexpr int kScores = 9;
constexpr int kClasses = 1000;
constexpr int kGroups = 2000;

std::string HexId(std::mt19937_64& random)
{
    char text[40];
    std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(random()),
                  static_cast<unsigned long long>(random()));
    return text;
}

void FillTask(CScheduleTask& task)
{
    static const char* const kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "周", "吴"};
    static const char* const kGiven[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "洋", "艳", "勇", "军"};
    static const char* const kSubjects[] = {"语文", "数学", "英语", "物理", "化学", "生物", "政治", "历史", "地理"};
    std::mt19937_64 random(20240305);
    for (const char* subject : kSubjects)
        task.GetCustomSubjectArray().push_back(subject);

    std::vector<std::string> classIds;
    for (int i = 0; i < kClasses; ++i) {
        auto cls = std::make_unique<CClassInfo>();
        cls->SetId(HexId(random));
        cls->SetName("高一(" + std::to_string(i + 1) + ")班");
        cls->SetStudentCount(50);
        cls->SetIndex(i);
        cls->SetHeadTeacherName(std::string(kSurnames[i % 10]) + "老师");
        classIds.push_back(cls->GetId());
        task.GetClassInfoList().Add(std::move(cls));
    }

    std::vector<std::string> studentIds;
    for (int i = 0; i < kStudents; ++i) {
        auto student = std::make_unique<CStudentInfo>();
        student->SetId(HexId(random));
        student->SetName(std::string(kSurnames[random() % 10]) + kGiven[random() % 12] + kGiven[random() % 12]);
        student->SetSex(static_cast<int>(random() % 2));
        student->SetFromSchool("第" + std::to_string(random() % 40 + 1) + "中学");
        student->SetClassId(classIds[random() % kClasses]);
        student->SetIndex(i);
        for (int k = 0; k < kScores; ++k)
            student->GetScoreArray().push_back(std::to_string(60 + random() % 40) + ".5");
        studentIds.push_back(student->GetId());
        task.GetStudentInfoList().Add(std::move(student));
    }

    for (int i = 0; i < kGroups; ++i) {
        auto group = std::make_unique<CMutexStudent>();
        group->SetId(HexId(random));
        group->SetIndex(i);
        for (int k = 0; k < 3; ++k)
            group->GetMutexStudents().push_back(studentIds[random() % kStudents]);
        task.GetMutexStudentList().Add(std::move(group));
    }
}

struct BenchFolder
{
    BenchFolder()
    {
        path = fs::temp_directory_path() / ("qzbase_bench_" + std::to_string(std::random_device()()));
        fs::create_directories(path);
        std::ofstream(path / "bench.qz") << "[Task Info]\r\nName=bench\r\n";
    }
    ~BenchFolder()
    {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string Dir() const { return path.string() + "/"; }
    fs::path path;
};

long PeakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long CurrentRssKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

void BM_SaveInputData(benchmark::State& state)
{
    BenchFolder folder;
    CScheduleTask task;
    task.GetTaskInfo().SetTaskFolder(folder.Dir());
    FillTask(task);
    task.SaveOutputData();
    for (auto _ : state)
        if (!task.SaveInputData())
            state.SkipWithError("save failed");
    state.counters["file_MiB"] = static_cast<double>(fs::file_size(folder.path / "input.xml")) / (1 << 20);
}
BENCHMARK(BM_SaveInputData)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ReportAggregatesOnly(true);

void BM_LoadInputData(benchmark::State& state)
{
    BenchFolder folder;
    {
        CScheduleTask task;
        task.GetTaskInfo().SetTaskFolder(folder.Dir());
        FillTask(task);
        task.SaveInputData();
    }
    const std::string taskFile = (folder.path / "bench.qz").string();
    for (auto _ : state) {
        auto task = std::make_unique<CScheduleTask>();
        if (!task->Open(taskFile) || task->GetStudentInfoList().GetCount() != kStudents)
            state.SkipWithError("load failed");
        state.PauseTiming();
        task.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadInputData)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ReportAggregatesOnly(true);

int MeasureMemory(const char* what)
{
    BenchFolder folder;
    const std::string input = (folder.path / "input.xml").string();
    if (std::strcmp(what, "load") == 0) {
        // Write the file in a child process, so this one's peak is the load.
        const std::string self = fs::read_symlink("/proc/self/exe").string();
        const std::string command = "'" + self + "' --memory save-to '" + folder.Dir() + "'";
        if (std::system(command.c_str()) != 0)
            return 1;
        const long before = PeakRssKiB();
        CScheduleTask task;
        task.Open((folder.path / "bench.qz").string());
        const long peak = PeakRssKiB();
        std::printf("load: file %.1f MiB, students %zu, peak RSS %.1f MiB (before %.1f MiB), ratio %.2f\n",
                    static_cast<double>(fs::file_size(input)) / (1 << 20), task.GetStudentInfoList().GetCount(),
                    peak / 1024.0, before / 1024.0, peak * 1024.0 / static_cast<double>(fs::file_size(input)));
        return 0;
    }
    CScheduleTask task;
    task.GetTaskInfo().SetTaskFolder(folder.Dir());
    FillTask(task);
    const long filled = CurrentRssKiB();
    task.SaveInputData();
    const long peak = PeakRssKiB();
    std::printf("save: file %.1f MiB, task in memory %.1f MiB, peak RSS %.1f MiB, ratio %.2f\n",
                static_cast<double>(fs::file_size(input)) / (1 << 20), filled / 1024.0, peak / 1024.0,
                peak * 1024.0 / static_cast<double>(fs::file_size(input)));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "--memory") == 0 && std::strcmp(argv[2], "save-to") == 0) {
        CScheduleTask task;
        task.GetTaskInfo().SetTaskFolder(argv[3]);
        FillTask(task);
        return task.SaveInputData() ? 0 : 1;
    }
    if (argc >= 3 && std::strcmp(argv[1], "--memory") == 0)
        return MeasureMemory(argv[2]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
