#include "widgets/TQVGrid.h"

#include "widgets/WindowUtil.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>
#include <numeric>

namespace hv {
namespace {

constexpr int kAlertRole = Qt::UserRole + 1;

// Every cell framed in the window colour, its text on one line, vertically
// centred, 2 pixels from the left and 3 from the right edge.
class CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(const int& rightFrom, QObject* parent) : QStyledItemDelegate(parent), m_rightFrom(rightFrom) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QPalette& pal = option.palette;
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        painter->fillRect(option.rect, selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base));
        painter->setPen(pal.color(QPalette::Window));
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        QFont font = option.font;
        QColor colour = selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text);
        if (index.data(kAlertRole).toBool()) {
            font.setBold(true);
            colour = Qt::red;
        }
        painter->setFont(font);
        painter->setPen(colour);
        const QRect text = option.rect.adjusted(2, 0, -3, 0);
        const bool right = m_rightFrom >= 0 && index.column() >= m_rightFrom;
        const QString shown = index.data(Qt::DisplayRole).toString();
        painter->drawText(text, Qt::TextSingleLine | Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft),
                          shown);
        painter->restore();
    }

private:
    const int& m_rightFrom;
};

} // namespace

TQVGrid::TQVGrid(QWidget* parent) : QTableWidget(parent)
{
    horizontalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setItemDelegate(new CellDelegate(m_rightFrom, this));
}

void TQVGrid::setRowCount(int rows) { QTableWidget::setRowCount(std::max(0, rows)); }
int TQVGrid::rowCount() const { return QTableWidget::rowCount(); }
void TQVGrid::setColumnCount(int columns) { QTableWidget::setColumnCount(std::max(0, columns)); }
int TQVGrid::columnCount() const { return QTableWidget::columnCount(); }
void TQVGrid::clearCells() { clearContents(); }

void TQVGrid::setCell(int row, int column, const std::string& text)
{
    if (column >= columnCount())
        setColumnCount(column + 1);
    if (row >= rowCount())
        setRowCount(row + 1);
    QTableWidgetItem* cellItem = item(row, column);
    if (!cellItem) {
        cellItem = new QTableWidgetItem;
        setItem(row, column, cellItem);
    }
    cellItem->setText(QString::fromStdString(text));
}

std::string TQVGrid::cell(int row, int column) const
{
    const QTableWidgetItem* cellItem = item(row, column);
    return cellItem ? cellItem->text().toStdString() : std::string();
}

void TQVGrid::setCellAlert(int row, int column, bool alert)
{
    if (!item(row, column))
        setCell(row, column, {});
    item(row, column)->setData(kAlertRole, alert);
}

bool TQVGrid::cellAlert(int row, int column) const
{
    const QTableWidgetItem* cellItem = item(row, column);
    return cellItem && cellItem->data(kAlertRole).toBool();
}

int TQVGrid::columnWidth(int column) const { return QTableWidget::columnWidth(column); }
void TQVGrid::setColumnWidth(int column, int width) { QTableWidget::setColumnWidth(column, std::max(0, width)); }
int TQVGrid::width() const { return QWidget::width(); }

void TQVGrid::selectRow(int row)
{
    if (row >= 0 && row < rowCount())
        QTableWidget::selectRow(row);
}

bool TQVGrid::rowHasText(int row) const
{
    for (int c = 0; c < columnCount(); ++c)
        if (!cell(row, c).empty())
            return true;
    return false;
}

void TQVGrid::sortRowsDescending(const std::function<double(int row)>& key)
{
    const int rows = rowCount();
    const int columns = columnCount();
    std::vector<int> order(static_cast<std::size_t>(rows));
    std::iota(order.begin(), order.end(), 0);
    std::vector<double> keys;
    for (int r = 0; r < rows; ++r)
        keys.push_back(key(r));
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return keys[std::size_t(a)] > keys[std::size_t(b)]; });
    std::vector<std::vector<QTableWidgetItem*>> taken(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            taken[std::size_t(r)].push_back(takeItem(r, c));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            setItem(r, c, taken[std::size_t(order[std::size_t(r)])][std::size_t(c)]);
}

QHeaderView* TQVGrid::makeHeader(const char* name, const std::vector<std::string>& captions, int slack)
{
    m_slack = slack;
    m_headerModel = new QStandardItemModel(0, int(captions.size()), this);
    QStringList labels;
    for (const std::string& caption : captions)
        labels << QString::fromStdString(caption);
    m_headerModel->setHorizontalHeaderLabels(labels);
    m_header = new QHeaderView(Qt::Horizontal, parentWidget());
    m_header->setObjectName(name);
    m_header->setModel(m_headerModel);
    PrepareGridHeader(m_header, this);
    for (int c = int(captions.size()); c < columnCount(); ++c)
        setColumnHidden(c, true);
    connect(m_header, &QHeaderView::sectionResized, this,
            [this](int section, int, int size) { headerSectionResized(section, size); });
    return m_header;
}

void TQVGrid::headerSectionResized(int section, int size)
{
    if (m_sizing || !m_header)
        return;
    m_sizing = true;
    const int last = m_header->count() - 1;
    if (section < last) {
        setColumnWidth(section, size - (section == 0 ? 3 : 1));
        int others = 0;
        for (int i = 0; i < last; ++i)
            others += m_header->sectionSize(i);
        m_header->resizeSection(last, std::max(0, m_header->width() - others));
    }
    sizeLastColumn();
    m_sizing = false;
}

void TQVGrid::resizeEvent(QResizeEvent* event)
{
    QTableWidget::resizeEvent(event);
    if (m_header && !m_sizing)
        sizeLastColumn();
}

void TQVGrid::sizeLastColumn()
{
    const int last = m_header ? m_header->count() - 1 : columnCount() - 1;
    if (last < 0)
        return;
    int others = 0;
    for (int i = 0; i < last; ++i)
        if (!isColumnHidden(i))
            others += columnWidth(i);
    int rest = width() - others;
    if (rowCount() >= m_scrollRows)
        rest -= style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8;
    else
        rest -= m_slack;
    setColumnWidth(last, rest);
}

} // namespace hv
