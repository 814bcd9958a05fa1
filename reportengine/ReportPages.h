#pragma once
// The laid-out pages of a report: what the canvas produces, the page file
// keeps and every renderer draws. Positions are whole thousandths of an inch
// from the paper's top-left corner, so a layout compares exactly.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace hv::report {

enum class Justify { Left, Centre, Right };

// Face and size as the layout asked for them; the renderers map the face
// to the font the program ships (ReportMetrics.h).
struct ReportFont {
    std::string face = "Times New Roman";
    int size = 11000; // thousandths of a point
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    friend bool operator==(const ReportFont&, const ReportFont&) = default;
};

// Text set on a baseline inside the box [left, right], justified there.
struct TextItem {
    int left = 0;
    int right = 0;
    int baseline = 0;
    Justify justify = Justify::Left;
    std::string text; // UTF-8, one line
    ReportFont font;

    friend bool operator==(const TextItem&, const TextItem&) = default;
};

struct LineItem {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    int width = 10; // thickness

    friend bool operator==(const LineItem&, const LineItem&) = default;
};

// A grey rectangle behind a tab's box; percent 0 white .. 100 black.
struct ShadeItem {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int percent = 0;

    friend bool operator==(const ShadeItem&, const ShadeItem&) = default;
};

using PageItem = std::variant<TextItem, LineItem, ShadeItem>;

struct Page {
    int width = 8500;
    int height = 11000;
    std::vector<PageItem> items;
};

using PageSet = std::vector<Page>;

// Inches to the page's unit, rounded to the nearest thousandth.
int toMils(double inches);

} // namespace hv::report
