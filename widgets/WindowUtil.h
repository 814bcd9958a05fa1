#pragma once
// Helpers every window shares: screen scaling, header and column width
// persistence, the program's icon, opening documents and path shortening
// with a font.
#include "platform/Shell.h"

#include <functional>
#include <initializer_list>
#include <string>

class QFontMetrics;
class QHeaderView;
class QPixmap;
class QTableView;
class QTableWidget;
class QWidget;

namespace hv {

// Scales a design-time length (96 pixels per inch) to the screen; the
// program passes its ScaleToScreen, tests a fixed factor.
using ScaleFunction = std::function<int(int length)>;

// A design-time length (96 pixels per inch) scaled to the primary screen's
// logical pixels per inch; unchanged without a screen.
int ScaleToScreen(int length);

// The section of the settings file that holds column widths: the product name
// of the program's version information ("Hourvane 3").
std::string ColumnWidthsSection();
// The key of a header: its name from the fourth character on + "Settings"
// ("hdrTimeOff" gives "TimeOffSettings").
std::string ColumnWidthsKey(const QHeaderView& header);

// The narrowest a header section may be dragged or restored: a column of 0
// pixels, once stored, would hide its column on every later open.
int MinColumnWidth();

// A header control above a grid: its sections cannot be dragged below
// MinColumnWidth, it keeps the height of its text, and whenever the grid is
// shown or resized (a page of a wizard or a section of a window shown later)
// its last section takes the header's width the others leave.
void PrepareGridHeader(QHeaderView* header, QWidget* grid);
// A header control of its own above a plain table, one section per caption;
// the table's further columns stay hidden, its own headers too, whole rows
// are chosen one at a time and nothing is edited in place. Dragging a section
// sets its column, 3 pixels narrower for the first and 1 for the others.
// Prepared as PrepareGridHeader says.
QHeaderView* AttachHeader(QTableWidget* grid, const char* headerName, std::initializer_list<const char*> captions,
                          QWidget* parent);

// The last section takes the header's width the others leave, at least
// MinColumnWidth.
void FillLastSection(QHeaderView* header);

// Stores the widths of the header's sections, joined by ",".
void SaveColumnWidths(QHeaderView* header, const std::string& settingsFileName);

// Restores the header's sections and the grid's columns (first column 3 pixels,
// the others 1 pixel narrower than their sections) from the settings file, or,
// when nothing usable is stored, scales the grid's columns and sizes the
// sections from them, the last one taking the rest of the header's width. A
// stored width below MinColumnWidth, or none stored for a section, leaves that
// column its own width. Grid columns beyond the header's sections are hidden;
// the grid's default row height is scaled to the screen.
void LoadColumnWidths(QHeaderView* header, QTableView* grid, const std::string& settingsFileName);

// Opens a file or a web address with its associated program; false when the
// system could not.
bool OpenDocument(const std::string& fileOrAddress);

// ShortenPath measured with a font.
std::string ShortenPath(const std::string& path, const QFontMetrics& metrics, int width);

// Brings a window to the front as a second copy's wake-up asks: a minimised
// window comes back in the state it had (a maximised one stays maximised),
// then it is shown, raised and activated.
void RestoreAndRaise(QWidget& window);

// The program's icon at 32 x 32: the application's window icon when one is
// set, else the style's computer icon.
QPixmap ProgramIconPixmap();

} // namespace hv
