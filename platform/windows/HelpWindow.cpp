#include "platform/windows/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextStream>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace hv {

HelpWindow::HelpWindow(std::string helpFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), m_folder(std::move(helpFolder))
{
    setObjectName("frmHelp");
    setWindowTitle("Hourvane Standard Help");

    txtSearch = new QLineEdit(this);
    txtSearch->setObjectName("txtSearch");
    txtSearch->setPlaceholderText("Search for a word");
    cmdSearch = new QPushButton("&Search", this);
    cmdSearch->setObjectName("cmdSearch");
    cmdContents = new QPushButton("&Contents", this);
    cmdContents->setObjectName("cmdContents");
    lstTopics = new QListWidget(this);
    lstTopics->setObjectName("lstTopics");
    brwTopic = new QTextBrowser(this);
    brwTopic->setObjectName("brwTopic");
    // Pages link to one another; anything else stays out of the help window.
    brwTopic->setOpenLinks(true);
    brwTopic->setOpenExternalLinks(false);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(txtSearch, 1);
    searchRow->addWidget(cmdSearch);
    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addLayout(searchRow);
    sideLayout->addWidget(lstTopics, 1);
    sideLayout->addWidget(cmdContents);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(side);
    splitter->addWidget(brwTopic);
    splitter->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    resize(820, 560);

    connect(txtSearch, &QLineEdit::textChanged, this, [this](const QString& text) { filter(text); });
    connect(txtSearch, &QLineEdit::returnPressed, this, [this] { search(txtSearch->text().toStdString()); });
    connect(cmdSearch, &QPushButton::clicked, this, [this] { search(txtSearch->text().toStdString()); });
    connect(cmdContents, &QPushButton::clicked, this, [this] { showContents(); });
    connect(lstTopics, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        showPage(item->data(Qt::UserRole).toString().toStdString());
    });
    connect(lstTopics, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        showPage(item->data(Qt::UserRole).toString().toStdString());
    });
    connect(brwTopic, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        m_current = QFileInfo(url.toLocalFile()).fileName().toStdString();
    });

    loadPages();
    loadContexts();
    filter(QString());
}

void HelpWindow::loadPages()
{
    const QDir dir(QString::fromStdString(m_folder));
    const QStringList files = dir.entryList({"*.html"}, QDir::Files, QDir::Name);
    for (const QString& name : files) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString html = QString::fromUtf8(file.readAll());
        QTextDocument doc;
        doc.setHtml(html);
        QString title = doc.metaInformation(QTextDocument::DocumentTitle).trimmed();
        if (title.isEmpty())
            title = QFileInfo(name).completeBaseName();
        m_pages.push_back({name.toStdString(), title, doc.toPlainText()});
    }
    // The contents page leads the list; the others follow by title.
    std::stable_sort(m_pages.begin(), m_pages.end(), [](const Page& a, const Page& b) {
        const bool aIndex = a.file == kHelpContentsPage, bIndex = b.file == kHelpContentsPage;
        if (aIndex != bIndex)
            return aIndex;
        return a.title.localeAwareCompare(b.title) < 0;
    });
}

void HelpWindow::loadContexts()
{
    QFile file(QString::fromStdString(m_folder + kHelpContextsFile));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&file);
    static const QRegularExpression line(R"(^\s*(\d+)\s+(\S+)\s*$)");
    while (!in.atEnd()) {
        const QRegularExpressionMatch m = line.match(in.readLine());
        // Blank lines, comments and anything malformed are skipped.
        if (m.hasMatch())
            m_contexts[m.captured(1).toInt()] = m.captured(2).toStdString();
    }
}

void HelpWindow::filter(const QString& keyword)
{
    const QString word = keyword.trimmed();
    lstTopics->clear();
    for (const Page& page : m_pages) {
        if (!word.isEmpty() && !page.text.contains(word, Qt::CaseInsensitive) &&
            !page.title.contains(word, Qt::CaseInsensitive))
            continue;
        auto* item = new QListWidgetItem(page.title, lstTopics);
        item->setData(Qt::UserRole, QString::fromStdString(page.file));
    }
}

void HelpWindow::showPage(const std::string& file)
{
    const QString path = QString::fromStdString(m_folder + file);
    if (file.empty() || !QFileInfo::exists(path)) {
        m_current.clear();
        brwTopic->setPlainText("The help pages could not be found in " + QString::fromStdString(m_folder) + ".");
        return;
    }
    brwTopic->setSource(QUrl::fromLocalFile(path));
    m_current = file;
}

void HelpWindow::present()
{
    if (!m_placed) {
        m_placed = true;
        // Owned by no window, it would open where the window manager puts new
        // windows, often a corner: the first time it opens over the window in
        // use (or the middle of the screen), no larger than the screen allows.
        const QWidget* over = QApplication::activeWindow();
        if (QScreen* screen = over ? over->screen() : QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            resize(size().boundedTo(area.size() * 0.9));
            QRect placed(QPoint(), frameGeometry().size());
            placed.moveCenter(over ? over->frameGeometry().center() : area.center());
            placed.moveLeft(
                std::clamp(placed.left(), area.left(), std::max(area.left(), area.right() - placed.width())));
            placed.moveTop(std::clamp(placed.top(), area.top(), std::max(area.top(), area.bottom() - placed.height())));
            move(placed.topLeft());
        }
    }
    show();
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void HelpWindow::showContents()
{
    txtSearch->clear();
    showPage(kHelpContentsPage);
    present();
}

void HelpWindow::search(const std::string& keyword)
{
    const QString word = QString::fromStdString(keyword);
    if (txtSearch->text() != word)
        txtSearch->setText(word); // filters the list
    else
        filter(word);
    if (lstTopics->count() > 0) {
        lstTopics->setCurrentRow(0);
        showPage(lstTopics->item(0)->data(Qt::UserRole).toString().toStdString());
    }
    present();
}

void HelpWindow::showTopic(int context)
{
    const std::string page = pageForContext(context);
    if (page.empty() || !QFileInfo::exists(QString::fromStdString(m_folder + page))) {
        showContents();
        return;
    }
    txtSearch->clear();
    showPage(page);
    present();
}

std::string HelpWindow::currentPage() const { return m_current; }

std::vector<std::string> HelpWindow::listedPages() const
{
    std::vector<std::string> files;
    for (int i = 0; i < lstTopics->count(); ++i)
        files.push_back(lstTopics->item(i)->data(Qt::UserRole).toString().toStdString());
    return files;
}

std::string HelpWindow::pageForContext(int context) const
{
    auto it = m_contexts.find(context);
    return it == m_contexts.end() ? std::string() : it->second;
}

} // namespace hv
