#include "logic/import/XlsSource.h"

#include <new>

namespace {

const char* const kOutOfMemory = "工作簿过大，内存不足，无法读取。";

} // namespace

CXlsSource::~CXlsSource() = default;

bool CXlsSource::Open(std::string stream)
{
    m_error.clear();
    m_names.clear();
    m_cells.clear();
    m_sheet = SIZE_MAX;
    m_open = false;
    try {
        if (!m_reader.Open(std::move(stream)))
            return Fail(m_reader.GetError());
        for (std::size_t i = 0; i < m_reader.SheetCount(); ++i)
            m_names.push_back(m_reader.SheetName(i));
    } catch (const std::bad_alloc&) {
        return Fail(kOutOfMemory);
    }
    m_open = true;
    return true;
}

std::vector<std::string> CXlsSource::SheetNames() const
{
    return m_names;
}

bool CXlsSource::BeginSheet(std::size_t index)
{
    m_error.clear();
    m_next = 0;
    if (!m_open || index >= m_names.size())
        return Fail("工作簿中没有这个工作表。");
    if (index == m_sheet)
        return true; // read again from the top
    m_sheet = SIZE_MAX;
    try {
        if (!m_reader.ReadSheet(index, m_cells)) {
            m_cells.clear();
            return Fail(m_reader.GetError());
        }
    } catch (const std::bad_alloc&) {
        std::vector<CBiffReader::Cell>().swap(m_cells);
        return Fail(kOutOfMemory);
    }
    m_sheet = index;
    return true;
}

bool CXlsSource::NextRow(Row& row)
{
    row.cells.clear();
    if (m_next >= m_cells.size())
        return false;
    try {
        row.row = m_cells[m_next].row;
        for (; m_next < m_cells.size() && m_cells[m_next].row == row.row; ++m_next)
            row.cells.push_back({m_cells[m_next].column, m_reader.Value(m_cells[m_next])});
    } catch (const std::bad_alloc&) {
        m_next = m_cells.size();
        return Fail(kOutOfMemory);
    }
    return true;
}
