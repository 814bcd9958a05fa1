#pragma once
// The month calendar of the date picker: a 7 x 7 grid whose first row names
// the weekdays and whose other rows show the days of the selected date's
// month, with the neighbouring months' days in grey around them. Clicking a
// day selects it (a grey day moves to its month first); OnChange follows
// every change of the selected date.
#include <QTableWidget>

#include <string>

namespace hv {

class TQVCalendar : public QTableWidget {
    Q_OBJECT
public:
    enum class Element { Year, Month, Day };

    explicit TQVCalendar(QWidget* parent = nullptr);

    // The selected date (whole days); today at creation.
    double CalendarDate() const { return m_date; }
    // Selects the date directly: the layout is redone and OnChange raised.
    void SetCalendarDate(double date);
    int Year() const;
    int Month() const;
    int Day() const;

    // The weekday shown in column 0: 0 = Sunday .. 6 = Saturday.
    int StartOfWeek() const { return m_startOfWeek; }
    void SetStartOfWeek(int weekday);
    // True until a date element is set.
    bool UseCurrentDate() const { return m_useCurrentDate; }
    // The user cannot select cells while set.
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // The day number shown in row 1, column 0 (1 or less).
    int MonthOffset() const { return m_monthOffset; }

    // What a cell shows; row 0 holds the weekday names.
    std::string CellText(int column, int row) const;
    // -1 previous month, 0 this month, +1 next month; 0 for the header row.
    int CellMonth(int column, int row) const;

    // Sets the year, month or day of the selected date; values below 1 are
    // ignored, and so are a year or month equal to the current one and a
    // month above 12. A day equal to the selected one keeps the date; one
    // beyond the month's length gives its last day.
    void SetElement(Element kind, int value);
    // One month back (-1) or forward (+1), keeping the day where the month
    // has it and taking the month's last day otherwise.
    void MoveMonth(int delta);
    // The click on a day cell: a grey day moves to its month, then the day
    // the cell shows is selected.
    void ClickCell(int column, int row);

signals:
    void OnChange();
    // A double click on a day cell.
    void OnDblClick();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The day number the cell stands for in the selected month (may be < 1
    // or beyond the month's length).
    int dayNumber(int column, int row) const;
    void changeDate(double date);
    void layoutMonth();
    void fillCells();
    void fillHeader();

    double m_date = 0;
    int m_startOfWeek = 0;
    bool m_useCurrentDate = true;
    bool m_readOnly = false;
    int m_monthOffset = 1;
};

} // namespace hv
