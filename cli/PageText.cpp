#include "cli/PageText.h"

#include <algorithm>
#include <map>

namespace hv::cli {

namespace {

constexpr int kMilsPerColumn = 100;

// Characters, not bytes, decide the width a text takes on the line.
std::size_t characters(const std::string& text)
{
    std::size_t n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

} // namespace

std::string PagesAsText(const report::PageSet& pages)
{
    std::string out;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p)
            out += '\f';
        std::map<int, std::vector<const report::TextItem*>> lines;
        for (const auto& item : pages[p].items)
            if (const auto* text = std::get_if<report::TextItem>(&item); text && !text->text.empty())
                lines[text->baseline].push_back(text);
        for (auto& [baseline, items] : lines) {
            std::vector<std::pair<int, const report::TextItem*>> placed;
            for (const auto* t : items) {
                int column = t->left / kMilsPerColumn;
                const int width = int(characters(t->text));
                if (t->justify == report::Justify::Right)
                    column = t->right / kMilsPerColumn - width;
                else if (t->justify == report::Justify::Centre)
                    column = (t->left + t->right) / 2 / kMilsPerColumn - width / 2;
                placed.emplace_back(std::max(column, 0), t);
            }
            std::stable_sort(placed.begin(), placed.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            std::string line;
            std::size_t used = 0; // characters on the line so far
            for (const auto& [column, t] : placed) {
                if (used < std::size_t(column)) {
                    line.append(std::size_t(column) - used, ' ');
                    used = std::size_t(column);
                } else if (used > 0) {
                    line += ' '; // texts that meet stay apart
                    ++used;
                }
                line += t->text;
                used += characters(t->text);
            }
            out += line + '\n';
        }
    }
    return out;
}

} // namespace hv::cli
