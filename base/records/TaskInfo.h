#pragma once

#include <string>

// The task header and the paths of the task's files. The folder always ends
// in the native path separator once set. Paths are UTF-8.
class CTaskInfo
{
public:
    CTaskInfo() = default;
    CTaskInfo(const CTaskInfo&) = default;
    CTaskInfo& operator=(const CTaskInfo&) = default;
    virtual ~CTaskInfo();

    std::string GetTaskName() const { return m_name; }
    void SetTaskName(const std::string& name) { m_name = name; }
    std::string GetTaskFolder() const { return m_folder; }
    // Stores the folder and appends a separator when it does not end in one.
    void SetTaskFolder(const std::string& folder);
    std::string GetTaskAuthor() const { return m_author; }
    void SetTaskAuthor(const std::string& author) { m_author = author; }
    std::string GetCreateDate() const { return m_createDate; }
    void SetCreateDate(const std::string& date) { m_createDate = date; }
    std::string GetDescription() const { return m_description; }
    void SetDescription(const std::string& description) { m_description = description; }

    std::string GetInputFile() const { return m_inputFile; }
    std::string GetOutputFile() const { return m_outputFile; }

    // folder + name + ".qz" until a task file was read; then folder + its name.
    std::string GetTaskFile() const;
    std::string GetInputFilePath() const;
    std::string GetOutputFilePath() const;
    std::string GetReportFilePath() const;
    // The file of our own beside them: the rules the Windows program's files
    // have no place for.
    std::string GetRulesFilePath() const;

    bool HasSaved() const { return !m_name.empty(); }

    // Writes section "Task Info" (Name, Creator, CreateTime, Description) to
    // GetTaskFile(), keeping other sections and keys. Does nothing when the
    // name is empty. Returns false when the file could not be written.
    bool WriteToFile();
    // Reads the four keys (each at most 259 bytes) and takes folder and file
    // name from path. A missing or unreadable file gives empty fields.
    void ReadFromFile(const std::string& path);

private:
    std::string m_name;
    std::string m_folder;
    std::string m_author;
    std::string m_createDate;
    std::string m_description;
    std::string m_taskFile;
    std::string m_inputFile = "input.xml";
    std::string m_outputFile = "output.xml";
};
