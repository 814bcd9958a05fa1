#pragma once
// The grids of the windows (balances, wages, accruals, overtime assignments):
// a table the record fillers write into through GridView, one row selected
// at a time, cells on one line framed in the window colour, and a header
// control above it whose sections set the column widths.
#include "ports/GridView.h"

#include <QTableWidget>

#include <functional>
#include <string>
#include <vector>

class QHeaderView;
class QStandardItemModel;

namespace hv {

class TQVGrid : public QTableWidget, public GridView {
    Q_OBJECT
public:
    explicit TQVGrid(QWidget* parent = nullptr);

    // GridView
    void setRowCount(int rows) override;
    int rowCount() const override;
    void setColumnCount(int columns) override;
    int columnCount() const override;
    void clearCells() override;
    void setCell(int row, int column, const std::string& text) override;
    std::string cell(int row, int column) const override;
    void setCellAlert(int row, int column, bool alert) override;
    int columnWidth(int column) const override;
    void setColumnWidth(int column, int width) override;
    int width() const override;
    void selectRow(int row) override;

    bool cellAlert(int row, int column) const;
    // Text of columns from this one on is drawn right-aligned (-1: none).
    void setRightAlignedFrom(int column) { m_rightFrom = column; }
    // The grid's rows in a new order: rows with larger keys first, equal keys
    // keeping their order.
    void sortRowsDescending(const std::function<double(int row)>& key);
    // Whether a row holds anything (a filler leaves one empty row).
    bool rowHasText(int row) const;

    // Builds the header control above the grid with one section per caption;
    // the grid's columns beyond them stay hidden. slack is what the last
    // column leaves free of the grid's width while the grid has fewer than 4
    // rows (7 for the balance grid, 6 for the others).
    QHeaderView* makeHeader(const char* name, const std::vector<std::string>& captions, int slack);
    QHeaderView* header() const { return m_header; }
    // The last visible column takes the grid's width that the others leave.
    void sizeLastColumn();
    // From this many rows on the grid scrolls, and the last column leaves
    // room for the scroll bar instead of the slack (4 unless told).
    void setScrollRows(int rows) { m_scrollRows = rows; }

protected:
    // A grid laid out later (a section shown after the window opened) sizes
    // its last column then.
    void resizeEvent(QResizeEvent* event) override;

private:
    void headerSectionResized(int section, int size);

    QHeaderView* m_header = nullptr;
    QStandardItemModel* m_headerModel = nullptr;
    int m_slack = 6;
    int m_scrollRows = 4;
    int m_rightFrom = -1;
    bool m_sizing = false;
};

} // namespace hv
