#include "reports/windows/QVSetFrm.h"

#include "platform/Format.h"
#include "ports/FileDialogService.h"
#include "ports/MessageService.h"
#include "widgets/WindowParts.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace hv {

using namespace report;

namespace {

const char* const kPdfFilter = "PDF Files (*.pdf)";

void notValidPage(const std::string& text)
{
    ShowMessageBox("'" + text + "' is not a valid page number.", MsgKind::Information);
}

// A whole number as typed, or false.
bool wholeNumber(const QString& text, int& value)
{
    bool ok = false;
    value = text.trimmed().toInt(&ok);
    return ok;
}

} // namespace

TQVSetupForm::TQVSetupForm(SetupUse use, ReportSettings& settings, int pageCount, ReportPrinter* printer,
                           FileDialogService& fileDialogs, PrinterSetupDialog printerSetup, QWidget* owner) :
    QDialog(owner),
    m_use(use),
    m_settings(settings),
    m_pageCount(std::max(pageCount, 1)),
    m_printer(printer),
    m_fileDialogs(fileDialogs),
    m_printerSetup(std::move(printerSetup))
{
    setObjectName("frmQVSetup");
    setWindowTitle("Report Setup");
    buildControls();
    showPrinter();

    const SetupAllowed& allowed = m_settings.allowed;
    txtCopies->setText(QString::number(m_settings.job.copies));
    chkCollate->setChecked(m_settings.job.collate);
    chkDuplex->setChecked(m_settings.job.duplex);
    txtCopies->setEnabled(allowed.copies && hasPrinter());
    chkCollate->setEnabled(allowed.collate && hasPrinter());
    chkDuplex->setEnabled(allowed.duplex && hasPrinter());

    grpRange->setVisible(use == SetupUse::PrintRange);
    grpDestination->setVisible(use == SetupUse::Destination);
    if (use == SetupUse::PrintRange) {
        txtSelection->setText(QString("1-%1").arg(m_pageCount));
        txtFrom->setText("1");
        txtTo->setText(QString::number(m_pageCount));
        btnAll->setChecked(true);
        rangeChanged();
    } else {
        btnPrinter->setEnabled(allowed.printer && hasPrinter());
        btnPreview->setEnabled(allowed.preview);
        btnFile->setEnabled(allowed.file && hasPrinter());
        txtFileName->setText(QString::fromStdString(m_settings.outputFile));
        QRadioButton* preselected = m_settings.destination == Destination::Printer ? btnPrinter
                                    : m_settings.destination == Destination::File  ? btnFile
                                                                                   : btnPreview;
        if (!hasPrinter() && allowed.preview)
            preselected = btnPreview;
        if (preselected->isEnabled())
            preselected->setChecked(true);
        destinationChanged();
    }
}

void TQVSetupForm::buildControls()
{
    grpPrinter = named(new QGroupBox(" Selected Printer ", this), "grpPrinter");
    lblPrinter = named(new QLabel(grpPrinter), "lblPrinter");
    cmdSetup = named(new QPushButton("&Setup", grpPrinter), "cmdSetup");
    auto* printerRow = new QHBoxLayout(grpPrinter);
    printerRow->addWidget(lblPrinter, 1);
    printerRow->addWidget(cmdSetup);

    grpOptions = named(new QGroupBox(" Options ", this), "grpOptions");
    txtCopies = named(new QLineEdit(grpOptions), "txtCopies");
    txtCopies->setMaximumWidth(60);
    auto* lblCopies = named(new QLabel("&Copies", grpOptions), "lblCopies");
    lblCopies->setBuddy(txtCopies);
    chkCollate = named(new QCheckBox("C&ollate", grpOptions), "chkCollate");
    chkDuplex = named(new QCheckBox("&Duplex", grpOptions), "chkDuplex");
    auto* optionRow = new QHBoxLayout(grpOptions);
    optionRow->addWidget(lblCopies);
    optionRow->addWidget(txtCopies);
    optionRow->addWidget(chkCollate);
    optionRow->addWidget(chkDuplex);
    optionRow->addStretch();

    grpRange = named(new QGroupBox(" Print Range ", this), "grpRange");
    btnAll = named(new QRadioButton("All", grpRange), "btnAll");
    btnSelection = named(new QRadioButton("Selection", grpRange), "btnSelection");
    txtSelection = named(new QLineEdit(grpRange), "txtSelection");
    btnPages = named(new QRadioButton("Pages", grpRange), "btnPages");
    txtFrom = named(new QLineEdit(grpRange), "txtFrom");
    txtTo = named(new QLineEdit(grpRange), "txtTo");
    auto* rangeGrid = new QGridLayout(grpRange);
    rangeGrid->addWidget(btnAll, 0, 0);
    rangeGrid->addWidget(btnSelection, 1, 0);
    rangeGrid->addWidget(txtSelection, 1, 1, 1, 3);
    rangeGrid->addWidget(btnPages, 2, 0);
    rangeGrid->addWidget(named(new QLabel("From", grpRange), "lblFrom"), 2, 1);
    rangeGrid->addWidget(txtFrom, 2, 2);
    rangeGrid->addWidget(named(new QLabel("to", grpRange), "lblTo"), 2, 3);
    rangeGrid->addWidget(txtTo, 2, 4);

    grpDestination = named(new QGroupBox(" Report Destination ", this), "grpDestination");
    btnPrinter = named(new QRadioButton("&Printer", grpDestination), "btnPrinter");
    btnPreview = named(new QRadioButton("Pre&view", grpDestination), "btnPreview");
    btnFile = named(new QRadioButton("&File", grpDestination), "btnFile");
    txtFileName = named(new QLineEdit(grpDestination), "txtFileName");
    cmdBrowse = named(new QPushButton("...", grpDestination), "cmdBrowse");
    auto* destinationGrid = new QGridLayout(grpDestination);
    destinationGrid->addWidget(btnPrinter, 0, 0);
    destinationGrid->addWidget(btnPreview, 1, 0);
    destinationGrid->addWidget(btnFile, 2, 0);
    destinationGrid->addWidget(txtFileName, 2, 1);
    destinationGrid->addWidget(cmdBrowse, 2, 2);

    cmdOK = named(new QPushButton("OK", this), "cmdOK");
    cmdOK->setDefault(true);
    cmdCancel = named(new QPushButton("Cancel", this), "cmdCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grpPrinter);
    layout->addWidget(grpDestination);
    layout->addWidget(grpRange);
    layout->addWidget(grpOptions);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize); // as large as its contents: nothing to maximise

    connect(cmdSetup, &QPushButton::clicked, this, [this] { cmdSetupClick(); });
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { cmdBrowseClick(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOKClick(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QRadioButton* b : {btnAll, btnSelection, btnPages})
        connect(b, &QRadioButton::toggled, this, [this] { rangeChanged(); });
    for (QRadioButton* b : {btnPrinter, btnPreview, btnFile})
        connect(b, &QRadioButton::toggled, this, [this] { destinationChanged(); });
}

bool TQVSetupForm::hasPrinter() const { return m_printer && !m_printer->name().empty(); }

void TQVSetupForm::showPrinter()
{
    lblPrinter->setText(hasPrinter()
                            ? QString::fromStdString(FormatText("%s on %s", m_printer->name(), m_printer->port()))
                            : QStringLiteral("No printers installed!"));
    cmdSetup->setEnabled(m_settings.allowed.printerSetup && hasPrinter() && m_printerSetup != nullptr);
}

void TQVSetupForm::cmdSetupClick()
{
    if (!hasPrinter() || !m_printerSetup)
        return;
    const std::string chosen = m_printerSetup(this, m_printer->name());
    if (!chosen.empty())
        m_printer->select(chosen);
    showPrinter();
}

void TQVSetupForm::rangeChanged()
{
    txtSelection->setEnabled(btnSelection->isChecked());
    txtFrom->setEnabled(btnPages->isChecked());
    txtTo->setEnabled(btnPages->isChecked());
}

void TQVSetupForm::destinationChanged()
{
    txtFileName->setEnabled(btnFile->isChecked());
    cmdBrowse->setEnabled(btnFile->isChecked());
}

void TQVSetupForm::cmdBrowseClick()
{
    FileDialogRequest request;
    request.title = "Report File";
    request.filter = kPdfFilter;
    request.defaultExtension = "pdf";
    request.proposedName = txtFileName->text().toStdString();
    const std::string chosen = m_fileDialogs.chooseSaveFile(request);
    if (chosen.empty())
        return;
    // The save dialog has asked about replacing it and wants its folder.
    m_confirmedFile = chosen;
    txtFileName->setText(QString::fromStdString(chosen));
}

bool TQVSetupForm::takeRange()
{
    PrintJob& job = m_settings.job;
    int from = 1, to = m_pageCount;
    if (btnSelection->isChecked()) {
        const std::string text = txtSelection->text().toStdString();
        std::vector<int> pages;
        std::string bad;
        if (!ParsePageSelection(text, m_pageCount, pages, bad)) {
            notValidPage(text);
            txtSelection->setFocus();
            return false;
        }
    } else if (btnPages->isChecked()) {
        if (!wholeNumber(txtFrom->text(), from) || from < 1) {
            notValidPage(txtFrom->text().toStdString());
            txtFrom->setFocus();
            return false;
        }
        if (!wholeNumber(txtTo->text(), to) || to < 1 || to < from) {
            notValidPage(txtTo->text().toStdString());
            txtTo->setFocus();
            return false;
        }
    }
    job.firstPage = 1;
    job.lastPage = 9999;
    job.selection.clear();
    if (btnSelection->isChecked()) {
        job.selection = txtSelection->text().toStdString();
    } else if (btnPages->isChecked()) {
        // A page past the report is its last page.
        job.firstPage = std::min(from, m_pageCount);
        job.lastPage = std::min(to, m_pageCount);
    }
    return true;
}

bool TQVSetupForm::takeFileName()
{
    QString name = txtFileName->text().trimmed();
    if (name.isEmpty()) {
        ShowMessageBox("Please enter a file name.", MsgKind::Information);
        txtFileName->setFocus();
        return false;
    }
    QFileInfo info(name);
    if (info.suffix().isEmpty()) {
        name += ".pdf";
        info = QFileInfo(name);
    }
    if (!info.absoluteDir().exists()) {
        ShowMessageBox("The folder " + info.absolutePath().toStdString() + " does not exist.", MsgKind::Information);
        txtFileName->setFocus();
        return false;
    }
    const std::string path = name.toStdString();
    if (info.exists() && path != m_confirmedFile &&
        ask(path + " already exists.  Do you want to replace it?") != MsgResult::Yes) {
        txtFileName->setFocus();
        return false;
    }
    txtFileName->setText(name);
    m_settings.outputFile = path;
    return true;
}

void TQVSetupForm::cmdOKClick()
{
    if (m_use == SetupUse::PrintRange && !takeRange())
        return;
    if (m_use == SetupUse::Destination) {
        if (btnFile->isChecked() && !takeFileName())
            return;
        m_settings.destination = btnPrinter->isChecked() ? Destination::Printer
                                 : btnFile->isChecked()  ? Destination::File
                                                         : Destination::Preview;
        if (!btnFile->isChecked())
            m_settings.outputFile.clear();
    }
    PrintJob& job = m_settings.job;
    const SetupAllowed& allowed = m_settings.allowed;
    int copies = 0;
    // Anything but 1 to 999 copies leaves the old number.
    if (allowed.copies && wholeNumber(txtCopies->text(), copies) && copies >= 1 && copies <= kMaxCopies)
        job.copies = copies;
    if (allowed.collate)
        job.collate = chkCollate->isChecked();
    if (allowed.duplex)
        job.duplex = chkDuplex->isChecked();
    accept();
}

} // namespace hv
