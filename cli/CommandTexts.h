#pragma once

#include <string>

// Texts that several commands show.
namespace CommandTexts {

inline constexpr const char* MissingTask = "缺少任务文件（.qz）。";
inline constexpr const char* MissingPdf = "缺少输出的 PDF 文件。";
inline constexpr const char* SeedProblem = "--seed 后面应是一个非负整数。";
inline constexpr const char* ClassProblem = "--class 后面应是班级名称。";
// A build without the Qt parts has no printing.
inline constexpr const char* NoPrinting = "这个版本的 quillon-cli 不含打印功能。";

// what was changed (or made) but not written: nothing of it reached the task folder.
inline std::string NotSaved(const std::string& what)
{
    return what + "未能保存到任务文件夹。";
}

// An editor's change that was not written: the task stays as it was.
inline std::string ChangeNotSaved(const std::string& what)
{
    return what + "未能保存到任务文件夹，任务没有改变。";
}

inline std::string PdfNotWritten(const std::string& path)
{
    return "无法写入 PDF 文件 " + path;
}

} // namespace CommandTexts
