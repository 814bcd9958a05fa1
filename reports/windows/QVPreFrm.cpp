#include "reports/windows/QVPreFrm.h"

#include "platform/Format.h"
#include "ports/CursorService.h"
#include "ports/FileDialogService.h"
#include "ports/MessageService.h"
#include "reportengine/PageFile.h"
#include "reportengine/PageRenderer.h"
#include "reportengine/windows/PagePreview.h"
#include "reports/HVReport.h"
#include "reports/windows/QVSetFrm.h"
#include "widgets/WindowParts.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace hv {

using namespace report;

namespace {

constexpr double kMinZoom = 10;
constexpr double kMaxZoom = 500;
constexpr double kZoomSteps[] = {10, 25, 50, 75, 100, 125, 150, 200, 300, 400, 500};
// The page's share of the preview with its 2.5 % margin on both sides.
constexpr double kWithMargins = 1.05;

} // namespace

TQVPreviewForm::TQVPreviewForm(PageSet pages, ReportPrinter* printer, ReportSettings& settings,
                               const PreviewOptions& options, FileDialogService& fileDialogs,
                               PrinterSetupDialog printerSetup, QWidget* owner) :
    QDialog(owner),
    m_pages(std::move(pages)),
    m_printer(printer),
    m_settings(settings),
    m_options(options),
    m_fileDialogs(fileDialogs),
    m_printerSetup(std::move(printerSetup))
{
    setObjectName("frmQVPreview");
    setWindowTitle(QString::fromStdString(options.title));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    buildControls();
    pnlPage->setZoom(100);
    showPage(1);
}

TQVPreviewForm::~TQVPreviewForm() = default;

void TQVPreviewForm::buildControls()
{
    auto tool = [this](const char* name, const char* text, const char* hint) {
        auto* b = named(new QToolButton(this), name);
        b->setText(QString::fromUtf8(text));
        b->setToolTip(QString::fromUtf8(hint));
        b->setAutoRaise(true);
        return b;
    };
    spdZoomIn = tool("spdZoomIn", "+", "Zoom In");
    spdZoomOut = tool("spdZoomOut", "-", "Zoom Out");
    spdZoomWidth = tool("spdZoomWidth", "\xE2\x86\x94", "Zoom Page Width");
    spdZoomPage = tool("spdZoomPage", "\xE2\x96\xA1", "Zoom Whole Page");
    spdFirst = tool("spdFirst", "|<", "First Page");
    spdPrior = tool("spdPrior", "<", "Previous Page");
    spdNext = tool("spdNext", ">", "Next Page");
    spdLast = tool("spdLast", ">|", "Last Page");
    spdPrint = tool("spdPrint", "Print", "Print");
    spdSavePdf = tool("spdSavePdf", "Save as &PDF...", "Save as PDF");
    spdDone = tool("spdDone", "Done", "Done");
    txtZoom = named(new QLineEdit(this), "txtZoom");
    txtZoom->setMaximumWidth(60);
    txtPage = named(new QLineEdit(this), "txtPage");
    txtPage->setMaximumWidth(50);
    lblPages = named(new QLabel(this), "lblPages");

    auto* bar = new QHBoxLayout;
    for (QToolButton* b : {spdZoomIn, spdZoomOut, spdZoomWidth, spdZoomPage})
        bar->addWidget(b);
    bar->addWidget(named(new QLabel("Zoom %", this), "lblZoom"));
    bar->addWidget(txtZoom);
    bar->addSpacing(12);
    for (QToolButton* b : {spdFirst, spdPrior, spdNext, spdLast})
        bar->addWidget(b);
    bar->addWidget(named(new QLabel("Page #", this), "lblPageNo"));
    bar->addWidget(txtPage);
    bar->addWidget(lblPages);
    bar->addStretch();
    for (QToolButton* b : {spdPrint, spdSavePdf, spdDone})
        bar->addWidget(b);

    scrPreview = named(new QScrollArea(this), "scrPreview");
    scrPreview->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scrPreview->setBackgroundRole(QPalette::Dark);
    pnlPage = named(new PagePreview, "pnlPage");
    scrPreview->setWidget(pnlPage);
    rulHorizontal = named(new InchRuler(Qt::Horizontal, this), "rulHorizontal");
    rulVertical = named(new InchRuler(Qt::Vertical, this), "rulVertical");
    auto* grid = new QGridLayout;
    grid->setSpacing(0);
    grid->addWidget(rulHorizontal, 0, 1);
    grid->addWidget(rulVertical, 1, 0);
    grid->addWidget(scrPreview, 1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(grid, 1);

    connect(spdZoomIn, &QToolButton::clicked, this, [this] { spdZoomInClick(); });
    connect(spdZoomOut, &QToolButton::clicked, this, [this] { spdZoomOutClick(); });
    connect(spdZoomWidth, &QToolButton::clicked, this, [this] { spdZoomWidthClick(); });
    connect(spdZoomPage, &QToolButton::clicked, this, [this] { spdZoomPageClick(); });
    connect(spdFirst, &QToolButton::clicked, this, [this] { spdFirstClick(); });
    connect(spdPrior, &QToolButton::clicked, this, [this] { spdPriorClick(); });
    connect(spdNext, &QToolButton::clicked, this, [this] { spdNextClick(); });
    connect(spdLast, &QToolButton::clicked, this, [this] { spdLastClick(); });
    connect(spdPrint, &QToolButton::clicked, this, [this] { spdPrintClick(); });
    connect(spdSavePdf, &QToolButton::clicked, this, [this] { spdSavePdfClick(); });
    connect(spdDone, &QToolButton::clicked, this, &QDialog::accept);
    connect(txtZoom, &QLineEdit::editingFinished, this, [this] { txtZoomExit(); });
    connect(txtPage, &QLineEdit::editingFinished, this, [this] { txtPageExit(); });
    connect(scrPreview->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeRulers(); });
    connect(scrPreview->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeRulers(); });
    for (QWidget* w : {static_cast<QWidget*>(txtZoom), static_cast<QWidget*>(txtPage),
                       static_cast<QWidget*>(scrPreview), scrPreview->viewport()})
        w->installEventFilter(this);
}

double TQVPreviewForm::zoom() const { return pnlPage->zoom(); }

void TQVPreviewForm::setZoom(double percent)
{
    pnlPage->setZoom(std::clamp(percent, kMinZoom, kMaxZoom));
    refresh();
}

void TQVPreviewForm::showPage(int page)
{
    m_page = std::clamp(page, 1, std::max(pageCount(), 1));
    pnlPage->setPage(m_pages.empty() ? nullptr : &m_pages[std::size_t(m_page - 1)]);
    refresh();
}

void TQVPreviewForm::refresh()
{
    txtZoom->setText(QString::number(zoom(), 'f', 1));
    txtPage->setText(QString::number(m_page));
    lblPages->setText(QString("Page %1 of %2").arg(m_page).arg(pageCount()));
    spdFirst->setEnabled(m_page > 1);
    spdPrior->setEnabled(m_page > 1);
    spdNext->setEnabled(m_page < pageCount());
    spdLast->setEnabled(m_page < pageCount());
    spdPrint->setEnabled(m_options.allowPrint);
    placeRulers();
}

void TQVPreviewForm::placeRulers()
{
    const QPointF origin = pnlPage->pageOrigin() + QPointF(pnlPage->pos());
    rulHorizontal->setScale(pnlPage->pixelsPerInch(), origin.x() + scrPreview->viewport()->x());
    rulVertical->setScale(pnlPage->pixelsPerInch(), origin.y());
}

void TQVPreviewForm::spdZoomInClick()
{
    for (double step : kZoomSteps)
        if (step > zoom() + 0.05) {
            setZoom(step);
            return;
        }
}

void TQVPreviewForm::spdZoomOutClick()
{
    for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
        if (*it < zoom() - 0.05) {
            setZoom(*it);
            return;
        }
}

void TQVPreviewForm::spdZoomWidthClick()
{
    if (m_pages.empty())
        return;
    const double inches = m_pages[std::size_t(m_page - 1)].width / 1000.0 * kWithMargins;
    const int width = scrPreview->viewport()->width() - scrPreview->verticalScrollBar()->sizeHint().width();
    setZoom(std::floor(width / (inches * pnlPage->logicalDpiX()) * 1000) / 10);
}

void TQVPreviewForm::spdZoomPageClick()
{
    if (m_pages.empty())
        return;
    const Page& page = m_pages[std::size_t(m_page - 1)];
    const QSize view = scrPreview->viewport()->size();
    const double byWidth = view.width() / (page.width / 1000.0 * kWithMargins * pnlPage->logicalDpiX());
    const double byHeight = view.height() / (page.height / 1000.0 * kWithMargins * pnlPage->logicalDpiY());
    setZoom(std::floor(std::min(byWidth, byHeight) * 1000) / 10);
}

void TQVPreviewForm::spdFirstClick()
{
    WaitCursor wait;
    showPage(1);
}

void TQVPreviewForm::spdPriorClick() { showPage(m_page - 1); }
void TQVPreviewForm::spdNextClick() { showPage(m_page + 1); }

void TQVPreviewForm::spdLastClick()
{
    WaitCursor wait;
    showPage(pageCount());
}

void TQVPreviewForm::txtZoomExit()
{
    double value = 0;
    if (TryStrToFloat(txtZoom->text().toStdString(), value) && std::abs(value - zoom()) > 1e-9)
        setZoom(value);
    else
        refresh();
}

void TQVPreviewForm::txtPageExit()
{
    bool ok = false;
    const int page = txtPage->text().trimmed().toInt(&ok);
    if (ok && page != m_page)
        showPage(page);
    else
        refresh();
}

void TQVPreviewForm::spdPrintClick()
{
    if (!m_options.allowPrint)
        return;
    if (!m_printer || m_printer->name().empty()) {
        tell(kNoPrinterMessage, MsgKind::Information);
        return;
    }
    if (m_options.setupBeforePrint) {
        TQVSetupForm setup(SetupUse::PrintRange, m_settings, pageCount(), m_printer, m_fileDialogs, m_printerSetup,
                           this);
        if (setup.exec() != QDialog::Accepted)
            return;
    }
    std::string error;
    bool printed = false;
    {
        WaitCursor wait;
        printed = PrintWithCopiesRule(*m_printer, m_pages, m_settings.job, error);
    }
    if (!printed)
        ShowMessageBox("The report could not be printed: " + error, MsgKind::Error);
}

void TQVPreviewForm::spdSavePdfClick()
{
    FileDialogRequest request;
    request.title = "Save as PDF";
    request.filter = "PDF Files (*.pdf)";
    request.defaultExtension = "pdf";
    std::string path = m_fileDialogs.chooseSaveFile(request);
    if (path.empty())
        return;
    if (QFileInfo(QString::fromStdString(path)).suffix().isEmpty())
        path += ".pdf";
    std::string error;
    bool written = false;
    {
        WaitCursor wait;
        written = WritePdf(path, m_pages, error, windowTitle().toStdString());
    }
    if (!written)
        ShowMessageBox("The file " + path + " could not be written: " + error, MsgKind::Error);
}

bool TQVPreviewForm::scrollKey(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    QScrollBar* v = scrPreview->verticalScrollBar();
    QScrollBar* h = scrPreview->horizontalScrollBar();
    const bool plainOrCtrl = mods == Qt::NoModifier || mods == Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (!plainOrCtrl)
            return false;
        v->setValue(v->value() + (event->key() == Qt::Key_PageDown ? 1 : -1) * scrPreview->viewport()->height());
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (!plainOrCtrl)
            return false;
        v->setValue(event->key() == Qt::Key_Home ? v->minimum() : v->maximum());
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (!plainOrCtrl)
            return false;
        v->setValue(v->value() + (event->key() == Qt::Key_Down ? 1 : -1) * v->singleStep());
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int sign = event->key() == Qt::Key_Right ? 1 : -1;
        if (mods == Qt::ControlModifier)
            h->setValue(h->value() + sign * h->singleStep());
        else if (mods == (Qt::ControlModifier | Qt::ShiftModifier))
            h->setValue(h->value() + sign * scrPreview->viewport()->width());
        else
            return false;
        return true;
    }
    default:
        return false;
    }
}

bool TQVPreviewForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && scrollKey(static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TQVPreviewForm::keyPressEvent(QKeyEvent* event)
{
    if (!scrollKey(event))
        QDialog::keyPressEvent(event);
}

bool ShowReportPreview(const std::string& pageFile, ReportPrinter* printer, ReportSettings& settings,
                       const PreviewOptions& options, FileDialogService& fileDialogs, PrinterSetupDialog printerSetup,
                       QWidget* owner)
{
    PageSet pages;
    std::string error;
    if (!ReadPageFile(pageFile, pages, error)) {
        ShowMessageBox("The report file " + pageFile + " could not be read: " + error, MsgKind::Error);
        return false;
    }
    TQVPreviewForm form(std::move(pages), printer, settings, options, fileDialogs, std::move(printerSetup), owner);
    form.setWindowState(Qt::WindowMaximized);
    form.exec();
    return true;
}

} // namespace hv
