#pragma once

// Two task options of the timetabling design; class division reads neither.
class CTaskSetting
{
public:
    CTaskSetting() = default;
    virtual ~CTaskSetting();

    bool GetFirstOption() const { return m_first; }
    void SetFirstOption(bool on) { m_first = on; }
    bool GetSecondOption() const { return m_second; }
    void SetSecondOption(bool on) { m_second = on; }

private:
    bool m_first = true;
    bool m_second = false;
};
