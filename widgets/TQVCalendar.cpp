#include "widgets/TQVCalendar.h"

#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/RegionalSettings.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace hv {
namespace {

constexpr int kColumns = 7;
constexpr int kRows = 7;
constexpr int kGridLineWidth = 1;

} // namespace

TQVCalendar::TQVCalendar(QWidget* parent) : QTableWidget(kRows, kColumns, parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setMinimumSectionSize(0);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            item->setFlags(r == 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            setItem(r, c, item);
        }
    m_date = std::floor(clock().today());
    fillHeader();
    layoutMonth();
}

int TQVCalendar::Year() const { return hv::Year(m_date); }
int TQVCalendar::Month() const { return hv::Month(m_date); }
int TQVCalendar::Day() const { return hv::Day(m_date); }

void TQVCalendar::SetCalendarDate(double date) { changeDate(std::floor(date)); }

void TQVCalendar::SetStartOfWeek(int weekday)
{
    const int value = ((weekday % 7) + 7) % 7;
    if (value == m_startOfWeek)
        return;
    m_startOfWeek = value;
    fillHeader();
    layoutMonth();
}

void TQVCalendar::changeDate(double date)
{
    m_date = date;
    layoutMonth();
    emit OnChange();
}

int TQVCalendar::dayNumber(int column, int row) const { return m_monthOffset + column + 7 * (row - 1); }

int TQVCalendar::CellMonth(int column, int row) const
{
    if (row < 1)
        return 0;
    const int n = dayNumber(column, row);
    if (n < 1)
        return -1;
    return n > DaysInMonth(m_date) ? 1 : 0;
}

std::string TQVCalendar::CellText(int column, int row) const
{
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows)
        return {};
    if (row == 0)
        return regional().shortDayNames.at(std::size_t((column + m_startOfWeek) % 7));
    const int n = dayNumber(column, row);
    const int length = DaysInMonth(m_date);
    if (n < 1) {
        const int y = Year();
        const int m = Month();
        return std::to_string(n + (m == 1 ? DaysInMonth(y - 1, 12) : DaysInMonth(y, m - 1)));
    }
    // Past the month's end the days of the next month count on from 1.
    return std::to_string(n > length ? n - length : n);
}

void TQVCalendar::fillHeader()
{
    for (int c = 0; c < kColumns; ++c)
        item(0, c)->setText(QString::fromStdString(CellText(c, 0)));
}

void TQVCalendar::fillCells()
{
    const QColor grey = palette().color(QPalette::Disabled, QPalette::Text);
    const QColor normal = palette().color(QPalette::Active, QPalette::Text);
    for (int r = 1; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            QTableWidgetItem* cell = item(r, c);
            cell->setText(QString::fromStdString(CellText(c, r)));
            cell->setForeground(CellMonth(c, r) == 0 ? normal : grey);
        }
}

void TQVCalendar::layoutMonth()
{
    // Weekday of the 1st counted Sunday = 1 .. Saturday = 7.
    const double first = m_date - (Day() - 1);
    const int a = (DayOfWeek(first) + 1 - m_startOfWeek + 7) % 7;
    m_monthOffset = a == 0 ? -5 : 2 - a;
    fillCells();
    const int index = Day() - m_monthOffset;
    setCurrentCell(index / 7 + 1, index % 7);
    viewport()->update();
}

void TQVCalendar::SetElement(Element kind, int value)
{
    if (value < 1)
        return;
    int y = Year();
    int m = Month();
    int d = Day();
    switch (kind) {
    case Element::Year:
        if (value == y)
            return;
        y = value;
        break;
    case Element::Month:
        if (value > 12 || value == m)
            return;
        m = value;
        break;
    case Element::Day:
        d = value;
        break;
    }
    double date = 0;
    if (!TryEncodeDate(y, m, 1, date))
        return;
    date += std::min(d, DaysInMonth(y, m)) - 1;
    m_useCurrentDate = false;
    changeDate(date);
}

void TQVCalendar::MoveMonth(int delta)
{
    const int kept = Day();
    double target = 0;
    if (delta < 0) {
        target = m_date - kept; // the last day of the previous month
    } else {
        target = m_date - kept + 1 + DaysInMonth(m_date); // the first day of the next month
    }
    if (target < -693593 || target > 2958465) // outside years 1 .. 9999
        return;
    const int length = DaysInMonth(target);
    changeDate(target - hv::Day(target) + std::min(kept, length));
}

void TQVCalendar::ClickCell(int column, int row)
{
    if (row < 1 || row >= kRows || column < 0 || column >= kColumns || m_readOnly)
        return;
    const int shown = std::stoi(CellText(column, row));
    const int month = CellMonth(column, row);
    if (month != 0)
        MoveMonth(month);
    SetElement(Element::Day, shown);
}

void TQVCalendar::resizeEvent(QResizeEvent* event)
{
    QTableWidget::resizeEvent(event);
    const int w = (viewport()->width() - 6 * kGridLineWidth) / kColumns;
    const int h = (viewport()->height() - 6 * kGridLineWidth) / kRows;
    for (int c = 0; c < kColumns; ++c)
        setColumnWidth(c, std::max(0, w));
    for (int r = 0; r < kRows; ++r)
        setRowHeight(r, std::max(0, h));
}

void TQVCalendar::mousePressEvent(QMouseEvent* event)
{
    // The calendar selects its cells itself: the view's own selection would
    // stray from the date on a grey day.
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        ClickCell(index.column(), index.row());
}

void TQVCalendar::mouseReleaseEvent(QMouseEvent*) {}

void TQVCalendar::mouseMoveEvent(QMouseEvent*) {}

void TQVCalendar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && index.row() >= 1)
        emit OnDblClick();
}

void TQVCalendar::keyPressEvent(QKeyEvent* event)
{
    int c = currentColumn();
    int r = currentRow();
    switch (event->key()) {
    case Qt::Key_Left:
        --c;
        break;
    case Qt::Key_Right:
        ++c;
        break;
    case Qt::Key_Up:
        --r;
        break;
    case Qt::Key_Down:
        ++r;
        break;
    default:
        // Enter, Escape and the rest belong to the dialog.
        QWidget::keyPressEvent(event);
        return;
    }
    if (c >= 0 && c < kColumns && r >= 1 && r < kRows)
        ClickCell(c, r);
}

} // namespace hv
