#pragma once
// The drawing surface report layouts write on: fonts, a printing area, header
// lines, lines of text with tab stops, columns, word-wrapped blocks and page
// breaks with a page header event. Positions are in inches from the paper's
// top-left corner. The result is a PageSet that the page file keeps and the
// renderers draw; the canvas knows nothing of what a report is about.
#include "reportengine/ReportMetrics.h"
#include "reportengine/ReportPages.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace hv::report {

// While set to anything but None, text printed into a tab is justified that
// way whatever the tab says.
enum class TabOverride { None, Left, Centre, Right };

// Box lines of a tab stop.
namespace box {
inline constexpr unsigned None = 0;
inline constexpr unsigned Left = 1u << 0;
inline constexpr unsigned Right = 1u << 1;
inline constexpr unsigned Top = 1u << 2;
inline constexpr unsigned Bottom = 1u << 3;
inline constexpr unsigned All = Left | Right | Top | Bottom;
} // namespace box

// A tab position that starts where the previous tab's box ends.
inline constexpr double kTabFollows = -1.0;

inline constexpr double kPageMargin = 0.5;

class ReportCanvas {
public:
    // Portrait pages of this paper size, 0.5 in margins on every side.
    explicit ReportCanvas(double pageWidth = 8.5, double pageHeight = 11.0);

    // Runs at the start of every page, the first included, with the current
    // line at the top margin. Its own lines never break the page.
    std::function<void(ReportCanvas&)> onPageHeader;
    // Told the number of each page as it starts (for a status display).
    std::function<void(int)> onPageStart;
    // Given each page once nothing more is drawn on it: when the next page
    // starts, and the last at Finish.
    std::function<void(const Page&)> onPageDone;

    // Starts the first page.
    void Start();
    // Ends the last line and hands the pages over; the canvas is spent.
    PageSet Finish();

    // Fonts: SetFont switches bold, italic, underline and strike-out off.
    void SetFont(const std::string& face, double points);
    void Bold(bool on);
    void Italic(bool on);
    void Underline(bool on);
    void StrikeOut(bool on);
    const ReportFont& Font() const { return m_font; }

    // The printing area. Moving the top below the current line moves the
    // line down to it.
    void SetAreaTop(double inches);
    void SetAreaBottom(double inches);
    void SetAreaLeft(double inches);
    void SetAreaRight(double inches);
    double AreaTop() const { return m_top; }
    double AreaBottom() const { return m_bottom; }
    double AreaLeft() const { return m_left; }
    double AreaRight() const { return m_right; }
    double PageWidth() const { return m_pageWidth; }
    double PageHeight() const { return m_pageHeight; }

    // Prints on the first line under the area top, justified between the
    // area's left and right edges; the current line stays where it is.
    void PrintHeader(const std::string& text, Justify justify);
    // The bottom of the current line becomes the area top; then Home.
    void FixBodyTop();
    // First line and first column of the area.
    void Home();

    // Text at the current position; each tab character acts as Tab.
    void Print(const std::string& text);
    // Print, then NewLine; an empty text gives an empty line.
    void PrintLn(const std::string& text = {});
    // The next line; the page breaks when the next thing printed would pass
    // the area bottom (a fresh page always takes its first line).
    void NewLine();
    // Ends the page; the next starts with the page header event.
    void NewPage();
    // Whole lines of the current font that still fit above the area bottom.
    int LinesLeft() const;
    double LineTop() const { return m_y; }

    void ClearTabs();
    // A tab with a width is a box in which text is justified, inner margin
    // inside each edge.
    void SetTab(double position, Justify justify, double width = 0, double margin = 0, unsigned boxLines = box::None,
                int shadePercent = 0);
    // The next tab stop of the line (stops restart at each new line).
    void Tab();
    // Tab, drawing a thin line along the top edge of the tab's box.
    void TabTopLine();
    void SetTabJustify(TabOverride value) { m_override = value; }
    TabOverride TabJustify() const { return m_override; }

    // count columns across the area with gap inches between them; a count
    // below 1 clears the setting. Lines that pass the bottom of a column go
    // on in the next one before the page breaks.
    void SetColumns(int count, double gap);
    void ColumnStart();
    // Below the longest column.
    void ColumnEnd();

    // The text wrapped between left and right, line by line, breaking pages
    // as needed. Line breaks in the text start new lines; a word wider than
    // the block breaks between characters.
    void PrintWrapped(const std::string& text, double left, double right);

    int CurrentPage() const { return int(m_pages.size()); }

private:
    struct TabStop {
        double position = 0;
        Justify justify = Justify::Left;
        double width = 0;
        double margin = 0;
        unsigned boxLines = box::None;
        int shade = 0;
    };
    struct PendingText {
        double left, right;
        Justify justify;
        std::string text;
        ReportFont font;
    };
    struct Decoration {
        double left, right;
        unsigned boxLines;
        int shade;
        bool topLine;
    };
    // What a page break must hand back to the body.
    struct BodyState {
        ReportFont font;
        std::vector<TabStop> tabs;
        TabOverride override;
        int tabIndex;
        std::optional<TabStop> pendingTab;
        double x; // from the line's left edge
    };

    void startPage(bool bodyCaused);
    // Before the first thing of a line: a new column or page when it would
    // not fit.
    void ensureRoom();
    bool lineEmpty() const { return m_texts.empty() && m_decorations.empty(); }
    void placeText(const std::string& text);
    void takeTab(bool topLine);
    void flushLine(double advance);
    double lineAdvance();
    double lineLeft() const;
    double columnWidth() const;
    Page& page() { return m_pages.back(); }

    double m_pageWidth;
    double m_pageHeight;
    PageSet m_pages;
    mutable FontMeasure m_measure;
    ReportFont m_font;

    double m_top = kPageMargin;
    double m_bottom;
    double m_left = kPageMargin;
    double m_right;
    double m_y = kPageMargin;
    double m_x = kPageMargin;

    std::vector<TabStop> m_tabs;
    int m_tabIndex = 0;
    std::optional<TabStop> m_pendingTab; // taken, no text in it yet
    TabOverride m_override = TabOverride::None;

    std::vector<PendingText> m_texts;
    std::vector<Decoration> m_decorations;

    int m_columnCount = 0;
    double m_columnGap = 0;
    bool m_inColumns = false;
    int m_column = 0;
    double m_columnTop = 0;
    double m_columnBottom = 0;

    bool m_inHeader = false;
    bool m_bodyLineOnPage = false;
    bool m_finished = false;
};

} // namespace hv::report
