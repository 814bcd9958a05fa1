#pragma once
// The grid that fillers write rows into (benefit balances, accruals, wages,
// overtime assignments). Windows implement it over their table widgets;
// MemoryGrid keeps the cells for tests and for callers without a window.
#include <string>
#include <vector>

namespace hv {

class GridView {
public:
    virtual ~GridView() = default;
    virtual void setRowCount(int rows) = 0;
    virtual int rowCount() const = 0;
    virtual void setColumnCount(int columns) = 0;
    virtual int columnCount() const = 0;
    virtual void clearCells() = 0;
    virtual void setCell(int row, int column, const std::string& text) = 0;
    virtual std::string cell(int row, int column) const = 0;
    // Drawn in red and bold (a negative balance), or in the normal style.
    virtual void setCellAlert(int row, int column, bool alert) = 0;
    virtual int columnWidth(int column) const = 0;
    virtual void setColumnWidth(int column, int width) = 0;
    virtual int width() const = 0;
    virtual void selectRow(int row) = 0;
};

class MemoryGrid : public GridView {
public:
    explicit MemoryGrid(int width = 400) : m_width(width) {}
    void setRowCount(int rows) override;
    int rowCount() const override { return int(m_cells.size()); }
    void setColumnCount(int columns) override;
    int columnCount() const override { return m_columns; }
    void clearCells() override;
    void setCell(int row, int column, const std::string& text) override;
    std::string cell(int row, int column) const override;
    void setCellAlert(int row, int column, bool alert) override;
    bool cellAlert(int row, int column) const;
    int columnWidth(int column) const override;
    void setColumnWidth(int column, int width) override;
    int width() const override { return m_width; }
    void selectRow(int row) override { m_selected = row; }
    int selectedRow() const { return m_selected; }

private:
    struct Cell {
        std::string text;
        bool alert = false;
    };
    void ensure(int row, int column);
    std::vector<std::vector<Cell>> m_cells;
    std::vector<int> m_widths;
    int m_columns = 0;
    int m_width;
    int m_selected = -1;
};

} // namespace hv
