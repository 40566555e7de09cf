#pragma once

#include "cli/Command.h"

// pinyin: prints the pinyin of a UTF-8 text (full syllables or initials).
class CPinyinCommand : public CCommand
{
public:
    CPinyinCommand();

    ExitCode Execute(const CArguments& arguments, CConsole& console) const override;
};
