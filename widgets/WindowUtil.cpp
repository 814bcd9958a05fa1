#include "widgets/WindowUtil.h"

#include "platform/SettingsFile.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <charconv>
#include <optional>
#include <vector>

namespace hv {
namespace {

std::optional<int> parseWidth(const std::string& piece)
{
    int value = 0;
    const char* end = piece.data() + piece.size();
    auto [ptr, ec] = std::from_chars(piece.data(), end, value);
    if (ec != std::errc() || ptr != end || piece.empty() || value < 0)
        return std::nullopt;
    return value;
}

// The stored widths, or nothing when the value is absent ("0") or not a list
// of widths (a hand-edited file must not break the window).
std::optional<std::vector<int>> parseWidths(const std::string& value)
{
    if (value == "0")
        return std::nullopt;
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = value.find(',', start);
        if (comma == std::string::npos) {
            // The last piece counts with at most its first four characters.
            pieces.push_back(value.substr(start, 4));
            break;
        }
        pieces.push_back(value.substr(start, comma - start));
        start = comma + 1;
    }
    std::vector<int> widths;
    for (const std::string& piece : pieces) {
        auto width = parseWidth(piece);
        if (!width)
            return std::nullopt;
        widths.push_back(*width);
    }
    return widths;
}

} // namespace

int ScaleToScreen(int length)
{
    const QScreen* screen =
        qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen() : nullptr;
    return screen ? ScaleLength(length, screen->logicalDotsPerInch()) : length;
}

std::string ColumnWidthsSection() { return GetVersionString(ProgramFileName(), "ProductName"); }

std::string ColumnWidthsKey(const QHeaderView& header)
{
    const std::string name = header.objectName().toStdString();
    return (name.size() > 3 ? name.substr(3) : std::string()) + "Settings";
}

void SaveColumnWidths(QHeaderView* header, const std::string& settingsFileName)
{
    if (!header)
        return;
    std::string value;
    for (int i = 0; i < header->count(); ++i) {
        if (i > 0)
            value += ',';
        value += std::to_string(header->sectionSize(i));
    }
    SettingsFile(settingsFileName).write(ColumnWidthsSection(), ColumnWidthsKey(*header), value);
}

int MinColumnWidth() { return ScaleToScreen(16); }

namespace {

// Keeps the header's last section filling the header while the grid is shown
// or resized.
class LastSectionFiller : public QObject {
public:
    explicit LastSectionFiller(QHeaderView* header) : QObject(header), m_header(header) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::Resize)
            FillLastSection(m_header);
        return QObject::eventFilter(watched, event);
    }

private:
    QHeaderView* m_header;
};

} // namespace

void PrepareGridHeader(QHeaderView* header, QWidget* grid)
{
    header->setSectionsClickable(false);
    header->setMinimumSectionSize(MinColumnWidth());
    header->setStretchLastSection(false);
    header->setFixedHeight(header->sizeHint().height());
    grid->installEventFilter(new LastSectionFiller(header));
}

QHeaderView* AttachHeader(QTableWidget* grid, const char* headerName, std::initializer_list<const char*> captions,
                          QWidget* parent)
{
    const int sections = int(captions.size());
    auto* model = new QStandardItemModel(0, sections, parent);
    QStringList labels;
    for (const char* caption : captions)
        labels << QString::fromUtf8(caption);
    model->setHorizontalHeaderLabels(labels);
    auto* header = new QHeaderView(Qt::Horizontal, parent);
    header->setObjectName(headerName);
    header->setModel(model);
    grid->horizontalHeader()->hide();
    grid->horizontalHeader()->setMinimumSectionSize(0);
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int column = sections; column < grid->columnCount(); ++column)
        grid->setColumnHidden(column, true);
    PrepareGridHeader(header, grid);
    QObject::connect(header, &QHeaderView::sectionResized, grid, [grid](int section, int, int size) {
        grid->setColumnWidth(section, std::max(0, size - (section == 0 ? 3 : 1)));
    });
    return header;
}

void FillLastSection(QHeaderView* header)
{
    const int last = header->count() - 1;
    if (last < 0)
        return;
    int others = 0;
    for (int i = 0; i < last; ++i)
        others += header->sectionSize(i);
    header->resizeSection(last, std::max(MinColumnWidth(), header->width() - others));
}

void LoadColumnWidths(QHeaderView* header, QTableView* grid, const std::string& settingsFileName)
{
    if (!header || !grid)
        return;
    const int sections = header->count();
    const int columns = grid->model() ? grid->model()->columnCount() : 0;
    const std::string stored =
        SettingsFile(settingsFileName).read(ColumnWidthsSection(), ColumnWidthsKey(*header), "0");

    for (int i = 0; i < columns; ++i)
        grid->setColumnWidth(i, ScaleToScreen(grid->columnWidth(i)));
    const auto widths = parseWidths(stored);
    const int pieces = widths ? int(widths->size()) : 0;
    for (int i = 0; i < std::max(sections, columns); ++i) {
        // The column's own width when nothing usable is stored for it.
        int w = i < columns ? grid->columnWidth(i) + (i == 0 ? 3 : 1) : 0;
        if (i < pieces && (*widths)[std::size_t(i)] >= MinColumnWidth())
            w = (*widths)[std::size_t(i)];
        if (i < sections)
            header->resizeSection(i, w);
        if (i < columns)
            grid->setColumnWidth(i, std::max(0, w - (i == 0 ? 3 : 1)));
    }
    // A shorter stored list (an older layout) leaves the columns it lacks at
    // their own widths: every column the header names stays visible.
    for (int i = sections; i < columns; ++i)
        grid->setColumnHidden(i, true);
    if (!widths || pieces < sections || (*widths)[std::size_t(sections - 1)] < MinColumnWidth())
        FillLastSection(header);
    QHeaderView* rows = grid->verticalHeader();
    rows->setDefaultSectionSize(ScaleToScreen(rows->defaultSectionSize()));
}

bool OpenDocument(const std::string& fileOrAddress)
{
    const QString text = QString::fromStdString(fileOrAddress);
    const QUrl asUrl(text, QUrl::StrictMode);
    // A scheme of two or more letters is an address; "C:" is a Windows drive.
    const bool isAddress = asUrl.isValid() && asUrl.scheme().size() > 1;
    return QDesktopServices::openUrl(isAddress ? asUrl : QUrl::fromLocalFile(text));
}

std::string ShortenPath(const std::string& path, const QFontMetrics& metrics, int width)
{
    return ShortenPath(
        path, [&metrics](const std::string& text) { return metrics.horizontalAdvance(QString::fromStdString(text)); },
        width);
}

void RestoreAndRaise(QWidget& window)
{
    if (window.windowState() & Qt::WindowMinimized)
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

QPixmap ProgramIconPixmap()
{
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
    return icon.pixmap(32, 32);
}

} // namespace hv
