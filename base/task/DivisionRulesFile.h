#pragma once

#include <string>

class CDivisionRules;

// quillon-rules.xml in the task's folder (CTaskInfo::GetRulesFilePath): the division rules the Windows
// program's files have no place for, as UTF-8 XML that program ignores.
//
//   <QuillonRules version="1">
//     <Settings sameNameApart="1" sameSoundApart="0" scoreBands="10,30,60"/>
//     <Together><Group id="..."><Student id="..."/>...</Group>...</Together>
//     <Conditions>
//       <Column name="#住校"/>...
//       <Student id="..."><Value>是</Value><Value/>...</Student>...
//     </Conditions>
//   </QuillonRules>
//
// Attributes and elements this version does not know are skipped on reading.
class CDivisionRulesFile
{
public:
    // How a reading ended.
    enum class ReadResult
    {
        Missing, // no file: no rules
        Loaded,
        Damaged, // not well-formed or not our file: no rules were read
    };

    static std::string Write(const CDivisionRules& rules);
    static ReadResult Read(const std::string& path, CDivisionRules& rules);
    static ReadResult ReadBytes(std::string bytes, CDivisionRules& rules);
};
