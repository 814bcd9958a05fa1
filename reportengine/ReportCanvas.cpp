#include "reportengine/ReportCanvas.h"

#include <QString>
#include <QStringList>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace hv::report {

namespace {

// Rounding slack when comparing positions that came out of sums of inches.
constexpr double kSlack = 1e-9;
constexpr double kThinLine = 0.01;

Justify overridden(Justify tab, TabOverride override)
{
    switch (override) {
    case TabOverride::Left:
        return Justify::Left;
    case TabOverride::Centre:
        return Justify::Centre;
    case TabOverride::Right:
        return Justify::Right;
    case TabOverride::None:
        break;
    }
    return tab;
}

// The text as the wrapped block takes it: line breaks of any kind become
// "\n", tabs blanks.
std::string normalizeBreaks(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += c == '\t' ? ' ' : c;
        }
    }
    return out;
}

} // namespace

ReportCanvas::ReportCanvas(double pageWidth, double pageHeight) :
    m_pageWidth(pageWidth),
    m_pageHeight(pageHeight),
    m_bottom(pageHeight - kPageMargin),
    m_right(pageWidth - kPageMargin)
{
}

void ReportCanvas::Start() { startPage(false); }

PageSet ReportCanvas::Finish()
{
    if (!lineEmpty())
        flushLine(lineAdvance());
    m_finished = true;
    if (onPageDone && !m_pages.empty())
        onPageDone(m_pages.back());
    return std::move(m_pages);
}

void ReportCanvas::SetFont(const std::string& face, double points) { m_font = ReportFont{face, toMils(points)}; }

void ReportCanvas::Bold(bool on) { m_font.bold = on; }
void ReportCanvas::Italic(bool on) { m_font.italic = on; }
void ReportCanvas::Underline(bool on) { m_font.underline = on; }
void ReportCanvas::StrikeOut(bool on) { m_font.strikeOut = on; }

void ReportCanvas::SetAreaTop(double inches)
{
    m_top = inches;
    if (m_y < inches)
        m_y = inches;
}

void ReportCanvas::SetAreaBottom(double inches) { m_bottom = inches; }

void ReportCanvas::SetAreaLeft(double inches)
{
    m_left = inches;
    if (lineEmpty() && !m_pendingTab)
        m_x = lineLeft();
}

void ReportCanvas::SetAreaRight(double inches) { m_right = inches; }

void ReportCanvas::PrintHeader(const std::string& text, Justify justify)
{
    const double baseline = m_top + m_measure.ascent(m_font);
    page().items.push_back(TextItem{toMils(m_left), toMils(m_right), toMils(baseline), justify, text, m_font});
}

void ReportCanvas::FixBodyTop()
{
    if (!lineEmpty())
        NewLine();
    m_top = m_y;
    Home();
}

void ReportCanvas::Home()
{
    if (!lineEmpty())
        flushLine(0);
    m_y = m_top;
    m_column = 0;
    if (m_inColumns)
        m_columnTop = m_columnBottom = m_y;
    m_x = lineLeft();
    m_tabIndex = 0;
    m_pendingTab.reset();
}

void ReportCanvas::Print(const std::string& text)
{
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = text.find('\t', start);
        const std::string part = text.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
        if (!part.empty())
            placeText(part);
        if (tab == std::string::npos)
            break;
        Tab();
        start = tab + 1;
    }
}

void ReportCanvas::PrintLn(const std::string& text)
{
    Print(text);
    NewLine();
}

void ReportCanvas::NewLine()
{
    const double advance = lineAdvance();
    flushLine(advance);
    m_y += advance;
    m_x = lineLeft();
    m_tabIndex = 0;
    m_pendingTab.reset();
}

void ReportCanvas::NewPage()
{
    // The header's own lines never break a page; a header that asks for one
    // would start pages forever.
    if (m_inHeader)
        return;
    if (!lineEmpty())
        flushLine(lineAdvance());
    startPage(true);
}

int ReportCanvas::LinesLeft() const
{
    const double height = m_measure.lineHeight(m_font);
    const double lines = std::floor((m_bottom - m_y) / height + kSlack);
    return lines > 0 ? int(lines) : 0;
}

void ReportCanvas::ClearTabs()
{
    m_tabs.clear();
    m_tabIndex = 0;
    m_pendingTab.reset();
}

void ReportCanvas::SetTab(double position, Justify justify, double width, double margin, unsigned boxLines,
                          int shadePercent)
{
    if (position == kTabFollows)
        position = m_tabs.empty() ? m_left : m_tabs.back().position + m_tabs.back().width;
    m_tabs.push_back(TabStop{position, justify, width, margin, boxLines, std::clamp(shadePercent, 0, 100)});
}

void ReportCanvas::Tab() { takeTab(false); }
void ReportCanvas::TabTopLine() { takeTab(true); }

void ReportCanvas::takeTab(bool topLine)
{
    if (m_tabIndex >= int(m_tabs.size()))
        return; // no stop left on this line: text goes on where it is
    const TabStop& next = m_tabs[std::size_t(m_tabIndex)];
    const bool draws = (topLine || next.boxLines != box::None || next.shade > 0) && next.width > 0;
    if (draws && lineEmpty())
        ensureRoom();
    const TabStop tab = m_tabs.at(std::size_t(m_tabIndex++)); // ensureRoom may have restored the stops
    m_pendingTab = tab;
    m_x = tab.position;
    if (draws)
        m_decorations.push_back(Decoration{tab.position, tab.position + tab.width, tab.boxLines, tab.shade, topLine});
}

void ReportCanvas::SetColumns(int count, double gap)
{
    m_columnCount = count < 1 ? 0 : count;
    m_columnGap = gap;
    if (m_columnCount == 0)
        m_inColumns = false;
}

void ReportCanvas::ColumnStart()
{
    if (m_columnCount == 0)
        return;
    if (!lineEmpty())
        NewLine();
    m_inColumns = true;
    m_column = 0;
    m_columnTop = m_columnBottom = m_y;
    m_x = lineLeft();
}

void ReportCanvas::ColumnEnd()
{
    if (!m_inColumns)
        return;
    if (!lineEmpty())
        NewLine();
    m_y = std::max(m_y, m_columnBottom);
    m_inColumns = false;
    m_column = 0;
    m_x = lineLeft();
}

void ReportCanvas::PrintWrapped(const std::string& text, double left, double right)
{
    if (!lineEmpty())
        NewLine();
    const double width = std::max(right - left, 0.0);
    auto emitLine = [&](const std::string& line) {
        m_pendingTab.reset();
        m_x = left;
        if (!line.empty())
            placeText(line);
        // A page break inside placeText restores the body's place; the block
        // keeps its own left edge.
        NewLine();
    };

    const std::string normalized = normalizeBreaks(text);
    std::size_t start = 0;
    while (start <= normalized.size()) {
        std::size_t end = normalized.find('\n', start);
        if (end == std::string::npos)
            end = normalized.size();
        const QString paragraph = QString::fromStdString(normalized.substr(start, end - start));
        std::string line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const std::string w = word.toStdString();
            const std::string candidate = line.empty() ? w : line + " " + w;
            if (m_measure.width(m_font, candidate) <= width + kSlack) {
                line = candidate;
                continue;
            }
            if (!line.empty())
                emitLine(line);
            line.clear();
            if (m_measure.width(m_font, w) <= width + kSlack) {
                line = w;
                continue;
            }
            // Wider than the block: break between characters, at least one
            // character a line so that the block always moves on.
            QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, word);
            int from = 0;
            int last = 0;
            for (int at = graphemes.toNextBoundary(); at > 0; at = graphemes.toNextBoundary()) {
                const std::string piece = word.mid(from, at - from).toStdString();
                if (at - from > 0 && last > from && m_measure.width(m_font, piece) > width + kSlack) {
                    emitLine(word.mid(from, last - from).toStdString());
                    from = last;
                }
                last = at;
            }
            line = word.mid(from).toStdString();
        }
        emitLine(line);
        start = end + 1;
    }
}

void ReportCanvas::startPage(bool bodyCaused)
{
    BodyState body{m_font, m_tabs, m_override, m_tabIndex, m_pendingTab, m_x - lineLeft()};
    if (onPageDone && !m_pages.empty())
        onPageDone(m_pages.back());
    m_pages.push_back(Page{toMils(m_pageWidth), toMils(m_pageHeight), {}});
    m_top = kPageMargin;
    m_bottom = m_pageHeight - kPageMargin;
    m_y = m_top;
    m_column = 0;
    m_tabIndex = 0;
    m_pendingTab.reset();
    m_x = lineLeft();
    if (onPageStart)
        onPageStart(CurrentPage());
    if (onPageHeader) {
        m_inHeader = true;
        onPageHeader(*this);
        if (!lineEmpty())
            NewLine();
        m_inHeader = false;
    }
    m_bodyLineOnPage = false;
    if (m_inColumns)
        m_columnTop = m_columnBottom = m_y;
    m_x = lineLeft();
    if (bodyCaused) {
        // The body goes on where it was: its font, its columns and the tab
        // stops it had taken on the line that did not fit.
        m_font = body.font;
        m_tabs = body.tabs;
        m_override = body.override;
        m_tabIndex = body.tabIndex;
        m_pendingTab = body.pendingTab;
        // Where the line was to start, from its column's edge (a wrapped
        // block's own left edge, a tab taken).
        m_x = lineLeft() + body.x;
    }
}

void ReportCanvas::ensureRoom()
{
    if (m_inHeader || !lineEmpty())
        return;
    const double height = m_measure.lineHeight(m_font);
    if (m_y + height <= m_bottom + kSlack)
        return;
    // A fresh page always takes its first line, clipped, so that a line
    // taller than the body cannot start pages forever.
    if (!m_bodyLineOnPage)
        return;
    if (m_inColumns && m_column + 1 < m_columnCount) {
        const double x = m_x - lineLeft();
        m_columnBottom = std::max(m_columnBottom, m_y);
        ++m_column;
        m_y = m_columnTop;
        m_x = lineLeft() + x;
        return;
    }
    startPage(true);
}

void ReportCanvas::placeText(const std::string& text)
{
    if (lineEmpty())
        ensureRoom();
    const double width = m_measure.width(m_font, text);
    if (m_pendingTab) {
        const TabStop& tab = *m_pendingTab;
        const Justify justify = overridden(tab.justify, m_override);
        double left = 0, right = 0;
        if (tab.width > 0) {
            left = tab.position + tab.margin;
            right = tab.position + tab.width - tab.margin;
        } else if (justify == Justify::Left) {
            left = tab.position + tab.margin;
            right = left + width;
        } else if (justify == Justify::Right) {
            right = tab.position - tab.margin;
            left = right - width;
        } else {
            left = tab.position - width / 2;
            right = tab.position + width / 2;
        }
        m_texts.push_back(PendingText{left, right, justify, text, m_font});
        switch (justify) {
        case Justify::Left:
            m_x = left + width;
            break;
        case Justify::Right:
            m_x = right;
            break;
        case Justify::Centre:
            m_x = (left + right + width) / 2;
            break;
        }
        m_pendingTab.reset();
    } else {
        m_texts.push_back(PendingText{m_x, m_x + width, Justify::Left, text, m_font});
        m_x += width;
    }
    if (!m_inHeader)
        m_bodyLineOnPage = true;
}

double ReportCanvas::lineAdvance()
{
    double advance = m_measure.lineHeight(m_font);
    for (const PendingText& t : m_texts)
        advance = std::max(advance, m_measure.lineHeight(t.font));
    return advance;
}

void ReportCanvas::flushLine(double advance)
{
    if (lineEmpty())
        return;
    if (advance <= 0)
        advance = lineAdvance();
    const double top = m_y;
    const double bottom = m_y + advance;
    std::vector<PageItem>& items = page().items;
    for (const Decoration& d : m_decorations)
        if (d.shade > 0)
            items.push_back(ShadeItem{toMils(d.left), toMils(top), toMils(d.right), toMils(bottom), d.shade});
    double ascent = 0;
    for (const PendingText& t : m_texts)
        ascent = std::max(ascent, m_measure.ascent(t.font));
    for (PendingText& t : m_texts)
        items.push_back(
            TextItem{toMils(t.left), toMils(t.right), toMils(top + ascent), t.justify, std::move(t.text), t.font});
    const int thin = toMils(kThinLine);
    for (const Decoration& d : m_decorations) {
        const int l = toMils(d.left), r = toMils(d.right), t = toMils(top), b = toMils(bottom);
        if (d.topLine || (d.boxLines & box::Top))
            items.push_back(LineItem{l, t, r, t, thin});
        if (d.boxLines & box::Bottom)
            items.push_back(LineItem{l, b, r, b, thin});
        if (d.boxLines & box::Left)
            items.push_back(LineItem{l, t, l, b, thin});
        if (d.boxLines & box::Right)
            items.push_back(LineItem{r, t, r, b, thin});
    }
    m_texts.clear();
    m_decorations.clear();
    if (m_inColumns)
        m_columnBottom = std::max(m_columnBottom, bottom);
}

double ReportCanvas::columnWidth() const
{
    if (m_columnCount <= 0)
        return m_right - m_left;
    return std::max((m_right - m_left - m_columnGap * (m_columnCount - 1)) / m_columnCount, 0.0);
}

double ReportCanvas::lineLeft() const
{
    if (!m_inColumns)
        return m_left;
    return m_left + m_column * (columnWidth() + m_columnGap);
}

} // namespace hv::report
