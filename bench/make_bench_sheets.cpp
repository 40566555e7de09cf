// Writes the class lists the whole-command benchmarks import: .xlsx lists of
// 20,000 and 100,000 students with twelve columns, and a 2,000-student list
// as UTF-8 text (bench/whole_commands.py turns it into GBK and writes the
// .xls list from the same rows).
//
//     make_bench_sheets FOLDER
#include "ClassListWorkbook.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_bench_sheets FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    BenchData::WriteClassList(folder + "/list-20000.xlsx", 20000, 12, false);
    BenchData::WriteClassList(folder + "/list-100000.xlsx", 100000, 12, true);
    // The same rows as the workbooks, as text.
    for (int students : {2000, 20000}) {
        std::ofstream out(folder + "/list-" + std::to_string(students) + "-utf8.csv", std::ios::binary);
        out << "姓名,性别,原学校,*语文,*数学,*英语,*物理,*化学,*生物,*政治,*历史,*地理\r\n";
        for (int s = 1; s <= students; ++s) {
            out << "学生" << s << ',' << (s % 2 ? "男" : "女") << ",第" << s % 30 << "中学";
            for (int c = 3; c < 12; ++c) {
                const double score = 40 + (s * 7 + c * 13) % 61 + 0.5 * (s % 2);
                char text[32];
                std::snprintf(text, sizeof(text), "%g", score);
                out << ',' << text;
            }
            out << "\r\n";
        }
    }
    return 0;
}
