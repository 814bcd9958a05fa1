#include "widgets/WindowUtil.h"

#include "platform/SettingsFile.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QApplication>
#include <QHeaderView>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QStyle>
#include <QTableView>
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
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
        ? QGuiApplication::primaryScreen()
        : nullptr;
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

void LoadColumnWidths(QHeaderView* header, QTableView* grid, const std::string& settingsFileName)
{
    if (!header || !grid)
        return;
    const int sections = header->count();
    const int columns = grid->model() ? grid->model()->columnCount() : 0;
    const std::string stored =
        SettingsFile(settingsFileName).read(ColumnWidthsSection(), ColumnWidthsKey(*header), "0");

    if (auto widths = parseWidths(stored)) {
        const int pieces = std::min<int>(int(widths->size()), std::max(sections, columns));
        for (int i = 0; i < pieces; ++i) {
            const int w = (*widths)[std::size_t(i)];
            if (i < sections)
                header->resizeSection(i, w);
            if (i < columns)
                grid->setColumnWidth(i, std::max(0, w - (i == 0 ? 3 : 1)));
        }
        for (int i = int(widths->size()); i < columns; ++i)
            grid->setColumnHidden(i, true);
    } else {
        for (int i = 0; i < columns; ++i)
            grid->setColumnWidth(i, ScaleToScreen(grid->columnWidth(i)));
        int used = 0;
        for (int i = 0; i < sections; ++i) {
            int w;
            if (i == sections - 1)
                w = header->width() - used;
            else
                w = grid->columnWidth(i) + (i == 0 ? 3 : 1);
            header->resizeSection(i, std::max(0, w));
            used += w;
        }
    }
    for (int i = sections; i < columns; ++i)
        grid->setColumnHidden(i, true);
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
        path,
        [&metrics](const std::string& text) {
            return metrics.horizontalAdvance(QString::fromStdString(text));
        },
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
