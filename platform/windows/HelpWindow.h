#pragma once
// The help viewer: HTML pages from one folder, a contents list that a keyword
// filters, and topics found by context number through the folder's
// "contexts.txt" ("1110 main-window.html", one a line). Not modal: it stays
// open beside the window it explains.
#include "ports/HelpService.h"

#include <QWidget>

#include <map>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;

namespace hv {

inline constexpr const char* kHelpContentsPage = "index.html";
inline constexpr const char* kHelpContextsFile = "contexts.txt";

class HelpWindow : public QWidget, public HelpService {
public:
    // helpFolder with a trailing separator (the program folder + "help/").
    explicit HelpWindow(std::string helpFolder, QWidget* parent = nullptr);

    void showContents() override;
    // Lists the pages whose text holds the keyword (any case) and shows the first.
    void search(const std::string& keyword) override;
    void showTopic(int context) override;

    // The file name of the page on display; empty when none could be shown.
    std::string currentPage() const;
    // The file names the contents list offers now, in its order.
    std::vector<std::string> listedPages() const;
    // The page of a context number; empty when the number is unknown.
    std::string pageForContext(int context) const;

private:
    struct Page {
        std::string file;
        QString title;
        QString text; // the page as plain text, for the search
    };

    void loadPages();
    void loadContexts();
    void filter(const QString& keyword);
    void showPage(const std::string& file);
    void present();

    std::string m_folder;
    std::vector<Page> m_pages;
    std::map<int, std::string> m_contexts;
    std::string m_current;
    bool m_placed = false;

    QLineEdit* txtSearch = nullptr;
    QPushButton* cmdSearch = nullptr;
    QPushButton* cmdContents = nullptr;
    QListWidget* lstTopics = nullptr;
    QTextBrowser* brwTopic = nullptr;
};

} // namespace hv
