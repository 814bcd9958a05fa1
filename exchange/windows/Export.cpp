#include "exchange/windows/Export.h"
#include "exchange/windows/WizardParts.h"

#include "exchange/ExportRun.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "ports/FileDialogService.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "widgets/PickDate.h"
#include "widgets/TQVDateEdit.h"
#include "widgets/WindowUtil.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <filesystem>

namespace hv {
namespace {

enum Page { pgWelcome = 0, pgType, pgItems, pgDates, pgFormat, pgSummary };

// The date a box holds, typed or chosen; 0 for none.
double boxDate(const TQVDateEdit* box)
{
    const std::string text = box->text().trimmed().toStdString();
    if (text.empty())
        return 0;
    double date = 0;
    return TryStrToDate(text, date) ? std::floor(date) : box->date();
}

} // namespace

TfrmExport::TfrmExport(THourvaneDataMod& dm, AppState& state, FileDialogService& fileDialogs, DatePicker& datePicker,
                       std::string settingsFileName, QWidget* owner) :
    TDataWizard(dm, state, std::move(settingsFileName), {"ShowExportPage", kExportHelpContext, "&Export", "prgExport"},
                owner),
    m_fileDialogs(fileDialogs),
    m_datePicker(datePicker)
{
    setObjectName("frmExport");
    setWindowTitle("Data Export Wizard");
    addWelcomePage("Welcome to the Data Export Wizard.",
                   "This wizard writes hours worked, time cards, time off, benefit balances, employees "
                   "or departments to a fixed-length or delimited text file or an xBase (dBase) table "
                   "that a payroll or spreadsheet program can read. You choose the items to write; "
                   "nothing is written before the last page.");
    addPage(buildTypePage());
    addPage(buildItemsPage());
    addPage(buildDatesPage());
    addPage(buildFormatPage());
    addSummaryPage("Here is your choice summary:");
    finishFrame();
}

TfrmExport::~TfrmExport() { done(QDialog::Rejected); }

QWidget* TfrmExport::buildTypePage()
{
    auto* page = new QWidget(this);
    lstExportType = new QListWidget(page);
    lstExportType->setObjectName("lstExportType");
    for (int k = 0; k < kExportKindCount; ++k)
        lstExportType->addItem(QString::fromUtf8(ExportKindName(ExportKind(k))));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(wizard::PageText("What kind of information do you want to export.", page));
    layout->addWidget(lstExportType);
    connect(lstExportType, &QListWidget::currentRowChanged, this, [this](int) { lstExportTypeClick(); });
    return page;
}

QWidget* TfrmExport::buildItemsPage()
{
    auto* page = new QWidget(this);
    lstItems = new QListWidget(page);
    lstItems->setObjectName("lstItems");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(wizard::PageText("Select the items you wish to export.", page));
    layout->addWidget(lstItems);
    connect(lstItems, &QListWidget::itemDoubleClicked, this, [](QListWidgetItem* item) {
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
    return page;
}

QWidget* TfrmExport::buildDatesPage()
{
    auto* page = new QWidget(this);
    lblDates = wizard::PageText("", page);
    lblDates->setObjectName("lblDates");
    txtStartDate = new TQVDateEdit(page);
    txtStartDate->setObjectName("txtStartDate");
    txtEndDate = new TQVDateEdit(page);
    txtEndDate->setObjectName("txtEndDate");
    for (TQVDateEdit* box : {txtStartDate, txtEndDate})
        box->setDisplayFormat(m_state.displayDateFormat);
    spdStartDate = new QToolButton(page);
    spdStartDate->setObjectName("spdStartDate");
    spdEndDate = new QToolButton(page);
    spdEndDate->setObjectName("spdEndDate");
    for (QToolButton* b : {spdStartDate, spdEndDate}) {
        b->setText("...");
        b->setToolTip("Select a Date");
    }
    auto* grid = new QGridLayout;
    auto* startLabel = new QLabel("&Starting on", page);
    startLabel->setBuddy(txtStartDate);
    auto* endLabel = new QLabel("&Ending on", page);
    endLabel->setBuddy(txtEndDate);
    grid->addWidget(startLabel, 0, 0);
    grid->addWidget(txtStartDate, 0, 1);
    grid->addWidget(spdStartDate, 0, 2);
    grid->addWidget(endLabel, 1, 0);
    grid->addWidget(txtEndDate, 1, 1);
    grid->addWidget(spdEndDate, 1, 2);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(lblDates);
    layout->addLayout(grid);
    layout->addStretch();
    connect(spdStartDate, &QToolButton::clicked, this, [this] { spdDateClick(txtStartDate); });
    connect(spdEndDate, &QToolButton::clicked, this, [this] { spdDateClick(txtEndDate); });
    return page;
}

QWidget* TfrmExport::buildFormatPage()
{
    auto* page = new QWidget(this);
    rdoFixed = wizard::Radio("rdoFixed", "Fixed Length", page);
    rdoComma = wizard::Radio("rdoComma", "Comma Delimited", page);
    rdoTab = wizard::Radio("rdoTab", "Tab Delimited", page);
    rdoXBase = wizard::Radio("rdoXBase", "xBase (DBF) Format", page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(wizard::PageText("What format do you want to export your data in?", page));
    for (QRadioButton* b : {rdoFixed, rdoComma, rdoTab, rdoXBase})
        layout->addWidget(b);
    addFileRow(layout, page, "&Save the exported information as...");
    return page;
}

void TfrmExport::pageShown(int page)
{
    if (page == pgDates && m_kind)
        lblDates->setText(*m_kind == ExportKind::HoursWorked || *m_kind == ExportKind::Detail
                              ? "Select the dates for the Hourvane entries you wish to export."
                              : "Select the dates for the Time Off entries you wish to export.");
}

void TfrmExport::lstExportTypeClick()
{
    const int row = lstExportType->currentRow();
    if (row < 0 || row >= kExportKindCount)
        return;
    // Another kind has other items: none stays ticked.
    m_kind = ExportKind(row);
    LoadExportFields(m_dm, *m_kind, m_state.programFolder, m_state.managerAccess, m_fields);
    lstItems->clear();
    for (const auto& f : m_fields) {
        auto* item = new QListWidgetItem(QString::fromStdString(f.DisplayName), lstItems);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void TfrmExport::spdDateClick(TQVDateEdit* field)
{
    PickDateInto(m_datePicker, *field, m_state.displayDateFormat, this);
    field->setFocus(Qt::OtherFocusReason);
}

std::optional<ExportFormat> TfrmExport::chosenFormat() const
{
    if (rdoFixed->isChecked())
        return ExportFormat::Fixed;
    if (rdoComma->isChecked())
        return ExportFormat::Comma;
    if (rdoTab->isChecked())
        return ExportFormat::Tab;
    if (rdoXBase->isChecked())
        return ExportFormat::XBase;
    return std::nullopt;
}

void TfrmExport::btnBrowseClick()
{
    const bool table = rdoXBase->isChecked();
    FileDialogRequest request;
    request.title = "Export Data File";
    request.filter = table ? "xBase Files (*.dbf)" : "Text Files (*.txt);;Any file (*.*)";
    request.defaultExtension = table ? "dbf" : "txt";
    request.proposedName = proposedFileName(table);
    const std::string chosen = m_fileDialogs.chooseSaveFile(request);
    if (chosen.empty())
        return;
    const std::string base = std::filesystem::path(chosen).filename().string();
    if (base != "*.dbf" && base != "*.txt")
        txtFileName->setText(QString::fromStdString(chosen));
    rememberFolder(chosen);
}

std::string TfrmExport::summaryText() const
{
    if (!m_kind || !chosenFormat())
        return {};
    const std::string format = m_state.dateFormatShown();
    std::string text = std::string("Export:\t") + ExportKindName(*m_kind);
    if (m_periodStart > 0)
        text += "\n\nFrom:\t" + FormatDateTime(format, m_periodStart) + "\nTo:\t" + FormatDateTime(format, m_periodEnd);
    text += std::string("\n\nFormat:\t") + ExportFormatName(*chosenFormat()) + "\n\nDestination:\n" +
            shownPath(txtFileName->text().toStdString());
    return text;
}

void TfrmExport::btnNextClick()
{
    switch (page()) {
    case pgWelcome:
        showPage(pgType);
        return;
    case pgType:
        if (!m_kind) {
            tell("Please select the type of data you wish to export.", MsgKind::Information);
            lstExportType->setFocus();
            return;
        }
        showPage(pgItems);
        return;
    case pgItems: {
        bool any = false;
        for (int i = 0; i < lstItems->count(); ++i)
            any = any || lstItems->item(i)->checkState() == Qt::Checked;
        if (!any) {
            tell("Please select the items you wish to export.", MsgKind::Information);
            return;
        }
        if (!ExportKindHasPeriod(*m_kind)) {
            m_periodStart = m_periodEnd = 0;
            showPage(pgFormat);
            return;
        }
        showPage(pgDates);
        return;
    }
    case pgDates: {
        const double start = boxDate(txtStartDate);
        const double end = boxDate(txtEndDate);
        if (start == 0) {
            tell("Please select your Starting on Date.", MsgKind::Information);
            txtStartDate->setFocus();
            return;
        }
        if (end == 0) {
            tell("Please select your Ending on Date.", MsgKind::Information);
            txtEndDate->setFocus();
            return;
        }
        if (end < start) {
            tell("The Ending on Date can not be before the Starting on Date.  Please select your date range again.",
                 MsgKind::Information);
            txtStartDate->setFocus();
            return;
        }
        m_periodStart = start;
        m_periodEnd = end;
        showPage(pgFormat);
        return;
    }
    case pgFormat:
        if (!chosenFormat()) {
            tell("Please select the export format for your data.", MsgKind::Information);
            return;
        }
        if (txtFileName->text().trimmed().isEmpty()) {
            tell("Please select the destination file for your data.", MsgKind::Information);
            txtFileName->setFocus();
            return;
        }
        showPage(pgSummary);
        return;
    case pgSummary:
        runExport();
        return;
    }
}

void TfrmExport::btnBackClick()
{
    const int current = page();
    if (current == pgWelcome)
        return;
    if (current == pgFormat && m_kind && !ExportKindHasPeriod(*m_kind)) {
        showPage(pgItems);
        return;
    }
    showPage(current - 1);
}

void TfrmExport::runExport()
{
    ExportRequest request;
    request.kind = *m_kind;
    request.format = *chosenFormat();
    request.fileName = txtFileName->text().trimmed().toStdString();
    request.fields = m_fields;
    for (int i = 0; i < lstItems->count() && i < int(request.fields.size()); ++i)
        request.fields[std::size_t(i)].Ticked = lstItems->item(i)->checkState() == Qt::Checked;
    request.periodStart = m_periodStart;
    request.periodEnd = m_periodEnd;
    request.managerAccess = m_state.managerAccess;
    wizard::BarProgress bar(m_progress);
    request.progress = &bar;
    const ExportResult result = runHeld([&] { return RunExport(m_dm, request); });
    tellAll(result.notices);
    if (result.outcome != ExportResult::Outcome::Completed)
        return; // the notices said why; the wizard stays on its summary
    if (result.changedValues > 0)
        tell(ChangedValuesMessage(result.changedValues), MsgKind::Information);
    askForAnother("Export complete.  Do you want to Export another file?");
}

} // namespace hv
