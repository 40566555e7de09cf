#include "cli/PinyinCommand.h"

#include "base/util/TextCodec.h"
#include "logic/pinyin/PinyinConverter.h"

CPinyinCommand::CPinyinCommand()
    : CCommand("pinyin", "输出文字的拼音（--initials 只取每个音节的首字母）", {{"文字", "缺少要转写的文字。"}},
               {{"--initials", "", ""}})
{
}

ExitCode CPinyinCommand::Execute(const CArguments& arguments, CConsole& console) const
{
    CPinyinConverter converter;
    converter.SetInitialsOnly(arguments.Has("--initials"));
    console.Out() << converter.Transcribe(CTextCodec::ToGbk(arguments.operands[0])) << std::endl;
    return ExitCode::Done;
}
