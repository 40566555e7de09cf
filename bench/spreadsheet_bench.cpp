// Reading large class lists and exporting a large division table.
//
//   spreadsheet_bench                 writes the test workbooks, runs the
//                                     benchmarks, then reads the 100,000-row
//                                     and the million-row workbook each in a
//                                     fresh process and prints its peak memory
//   spreadsheet_bench --memory FILE   reads FILE as the import does and
//                                     prints the rows and the peak resident memory
#include "ClassListWorkbook.h"
#include "core/DivisionTableData.h"
#include "logic/export/DivisionTableExport.h"
#include "logic/import/SpreadsheetReader.h"
#include "TaskBuilder.h"
#include "TestSupport.h"
#include "logic/export/WorkbookWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <sys/resource.h>

namespace {

std::unique_ptr<testsupport::TempFolder> g_folder;

std::string ListFile(int students)
{
    const std::string path = g_folder->File("list-" + std::to_string(students) + ".xlsx");
    if (!std::filesystem::exists(path))
        BenchData::WriteClassList(path, students, students > 100000 ? 2 : 12, students > 100000);
    return path;
}

// Reads every row as the import does; the number of record rows.
long ReadAll(const std::string& path)
{
    CSpreadsheetReader reader;
    reader.SetHeaderName("姓名");
    if (!reader.Open(path))
        return -1;
    std::vector<std::string> cells;
    int position = 0;
    long rows = 0;
    while (reader.ReadRecord(cells, position))
        ++rows;
    return reader.Failed() ? -1 : rows;
}

void BM_ReadList(benchmark::State& state)
{
    const std::string path = ListFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const long rows = ReadAll(path);
        if (rows != state.range(0))
            state.SkipWithError("the list was not read");
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_ReadList)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A school of students students in 400 classes, every student placed.
void FillPlacedSchool(CScheduleTask& task, int students)
{
    testsupport::FillLargeSchool(task, students, 400);
    int n = 0;
    for (CStudentInfo* student : task.GetStudentInfoList().Records<CStudentInfo>())
        student->SetClassId("c" + std::to_string(n++ % 400));
}

void BM_ExportDivisionTable(benchmark::State& state)
{
    CScheduleTask task;
    FillPlacedSchool(task, static_cast<int>(state.range(0)));
    CDivisionTableData data(task);
    data.Fill();
    const std::string path = g_folder->File("table.xlsx");
    for (auto _ : state) {
        std::string error;
        if (!CWorkbookWriter::ExportTable(path, CDivisionTableExport::Build(data, ""), error))
            state.SkipWithError(error.c_str());
    }
}
BENCHMARK(BM_ExportDivisionTable)->Arg(20000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The workbook writer alone: the table is made once.
void BM_WriteWorkbook(benchmark::State& state)
{
    CScheduleTask task;
    FillPlacedSchool(task, static_cast<int>(state.range(0)));
    CDivisionTableData data(task);
    data.Fill();
    const CWorkbookWriter::Table table = CDivisionTableExport::Build(data, "");
    const std::string path = g_folder->File("written.xlsx");
    for (auto _ : state) {
        std::string error;
        if (!CWorkbookWriter::ExportTable(path, table, error))
            state.SkipWithError(error.c_str());
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_WriteWorkbook)->Arg(20000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int MeasureMemory(const char* path)
{
    const long rows = ReadAll(path);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%s: %ld rows, peak RSS %.1f MiB\n", std::filesystem::path(path).filename().c_str(), rows,
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    return rows < 0 ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--memory") == 0)
        return MeasureMemory(argv[2]);
    g_folder = std::make_unique<testsupport::TempFolder>();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Memory in fresh processes, so that writing the workbooks does not count.
    int result = 0;
    for (int students : {100000, 1000000}) {
        const std::string command = "'" + std::string(argv[0]) + "' --memory '" + ListFile(students) + "'";
        result |= std::system(command.c_str());
    }
    g_folder.reset();
    return result == 0 ? 0 : 1;
}
