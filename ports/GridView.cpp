#include "ports/GridView.h"

namespace hv {

void MemoryGrid::setRowCount(int rows)
{
    m_cells.resize(std::size_t(rows < 0 ? 0 : rows));
    for (auto& r : m_cells)
        r.resize(std::size_t(m_columns));
}

void MemoryGrid::setColumnCount(int columns)
{
    m_columns = columns < 0 ? 0 : columns;
    for (auto& r : m_cells)
        r.resize(std::size_t(m_columns));
    m_widths.resize(std::size_t(m_columns), 64);
}

void MemoryGrid::clearCells()
{
    for (auto& r : m_cells)
        for (auto& c : r)
            c = Cell();
}

void MemoryGrid::ensure(int row, int column)
{
    if (column >= m_columns)
        setColumnCount(column + 1);
    if (row >= rowCount())
        setRowCount(row + 1);
}

void MemoryGrid::setCell(int row, int column, const std::string& text)
{
    ensure(row, column);
    m_cells[std::size_t(row)][std::size_t(column)].text = text;
}

std::string MemoryGrid::cell(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns)
        return {};
    return m_cells[std::size_t(row)][std::size_t(column)].text;
}

void MemoryGrid::setCellAlert(int row, int column, bool alert)
{
    ensure(row, column);
    m_cells[std::size_t(row)][std::size_t(column)].alert = alert;
}

bool MemoryGrid::cellAlert(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns)
        return false;
    return m_cells[std::size_t(row)][std::size_t(column)].alert;
}

int MemoryGrid::columnWidth(int column) const
{
    return column >= 0 && column < int(m_widths.size()) ? m_widths[std::size_t(column)] : 0;
}

void MemoryGrid::setColumnWidth(int column, int width)
{
    if (column >= int(m_widths.size()))
        setColumnCount(column + 1);
    m_widths[std::size_t(column)] = width;
}

} // namespace hv
