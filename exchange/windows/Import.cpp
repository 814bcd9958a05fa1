#include "exchange/windows/Import.h"
#include "exchange/windows/WizardParts.h"

#include "exchange/DelimitedReader.h"
#include "exchange/ImportRun.h"
#include "ports/CursorService.h"
#include "ports/FileDialogService.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "widgets/WindowUtil.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

namespace hv {
namespace {

enum Page { pgWelcome = 0, pgType, pgFile, pgFields, pgAction, pgSummary };
enum GridColumn { colName = 0, colSample = 1, colField = 2, colPosition = 3 };

const char* const kNotOpened =
    "The Data File you selected does not exist.  Please check your file selection and try again.";

const char* formatName(ImportFormat format)
{
    switch (format) {
    case ImportFormat::Comma:
        return "Comma Delimited Text";
    case ImportFormat::Tab:
        return "Tab Delimited Text";
    case ImportFormat::XBase:
        return "xBase (DBF) Format";
    }
    return "";
}

} // namespace

TfrmImport::TfrmImport(THourvaneDataMod& dm, AppState& state, FileDialogService& fileDialogs,
                       std::string settingsFileName, QWidget* owner) :
    TDataWizard(dm, state, std::move(settingsFileName), {"ShowImportPage", kImportHelpContext, "&Import", "prgImport"},
                owner),
    m_fileDialogs(fileDialogs)
{
    setObjectName("frmImport");
    setWindowTitle("Data Import Wizard");
    addWelcomePage("Welcome to the Data Import Wizard.",
                   "This wizard reads time cards, time off or employees from a text file or an xBase "
                   "(dBase) table written by another program and stores them in Hourvane. You choose "
                   "which of the file's fields fill which Hourvane fields; nothing is stored before the "
                   "last page.");
    addPage(buildTypePage());
    addPage(buildFilePage());
    addPage(buildFieldPage());
    addPage(buildActionPage());
    addSummaryPage("Here is your data summary:");
    finishFrame();
}

TfrmImport::~TfrmImport() { done(QDialog::Rejected); }

QWidget* TfrmImport::buildTypePage()
{
    auto* page = new QWidget(this);
    rdoHourvane = wizard::Radio("rdoHourvane", "Hourvane Data", page);
    rdoTimeOff = wizard::Radio("rdoTimeOff", "Time Off Data", page);
    rdoEmployee = wizard::Radio("rdoEmployee", "Employee Data", page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(wizard::PageText("What kind of information do you want to import.", page));
    for (QRadioButton* b : {rdoHourvane, rdoTimeOff, rdoEmployee})
        layout->addWidget(b);
    layout->addStretch();
    connect(rdoHourvane, &QRadioButton::clicked, this, [this] { chooseType(ImportType::TimeCard); });
    connect(rdoTimeOff, &QRadioButton::clicked, this, [this] { chooseType(ImportType::TimeOff); });
    connect(rdoEmployee, &QRadioButton::clicked, this, [this] { chooseType(ImportType::Employee); });
    return page;
}

QWidget* TfrmImport::buildFilePage()
{
    auto* page = new QWidget(this);
    rdoComma = wizard::Radio("rdoComma", "Comma Delimited Text", page);
    rdoTab = wizard::Radio("rdoTab", "Tab Delimited Text", page);
    rdoXBase = wizard::Radio("rdoXBase", "xBase (DBF) Format", page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(wizard::PageText("What format is your data file in?", page));
    for (QRadioButton* b : {rdoComma, rdoTab, rdoXBase})
        layout->addWidget(b);
    addFileRow(layout, page, "&Import data file:");
    for (QRadioButton* b : {rdoComma, rdoTab, rdoXBase})
        connect(b, &QRadioButton::clicked, this, &TfrmImport::formatChanged);
    connect(txtFileName, &QLineEdit::textEdited, this, [this] { m_fileChanged = true; });
    return page;
}

QWidget* TfrmImport::buildFieldPage()
{
    auto* page = new QWidget(this);
    // The grid's fourth column holds the import field's position and stays hidden.
    grdFields = new QTableWidget(0, 4, page);
    grdFields->setObjectName("grdFields");
    hdrFields = AttachHeader(grdFields, "hdrFields", {"Data File Field", "Sample Data", "Hourvane Field"}, page);
    grdFields->setColumnWidth(colName, 120);
    grdFields->setColumnWidth(colSample, 140);
    grdFields->setColumnWidth(colField, 160);
    grdFields->setMinimumHeight(180);
    cboImportFields = new QComboBox(grdFields->viewport());
    cboImportFields->setObjectName("cboImportFields");
    cboImportFields->hide();

    btnPrevRecord = new QPushButton("Prev Record", page);
    btnPrevRecord->setObjectName("btnPrevRecord");
    btnNextRecord = new QPushButton("Next Record", page);
    btnNextRecord->setObjectName("btnNextRecord");
    for (QPushButton* b : {btnPrevRecord, btnNextRecord})
        b->setAutoDefault(false);
    auto* records = new QHBoxLayout;
    records->addStretch();
    records->addWidget(btnPrevRecord);
    records->addWidget(btnNextRecord);
    auto* grid = new QVBoxLayout;
    grid->setSpacing(0);
    grid->addWidget(hdrFields);
    grid->addWidget(grdFields);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(
        wizard::PageText("Click a field of your data file and choose the Hourvane field it fills. Use Prev "
                         "Record and Next Record to see the samples of other records.",
                         page));
    layout->addLayout(grid);
    layout->addLayout(records);

    connect(grdFields, &QTableWidget::cellClicked, this, [this](int row, int) { grdFieldsClick(row); });
    connect(cboImportFields, &QComboBox::activated, this, &TfrmImport::cboImportFieldsChoose);
    connect(btnPrevRecord, &QPushButton::clicked, this, &TfrmImport::btnPrevRecordClick);
    connect(btnNextRecord, &QPushButton::clicked, this, &TfrmImport::btnNextRecordClick);
    return page;
}

QWidget* TfrmImport::buildActionPage()
{
    auto* page = new QWidget(this);
    rdoUpdate = wizard::Radio("rdoUpdate", "Update/Add to the current information", page);
    rdoReplace = wizard::Radio("rdoReplace",
                               "Remove all the current information and replace it with the imported information", page);
    rdoUpdate->setChecked(true);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(wizard::PageText("What do you want to do with the information already in Hourvane?", page));
    layout->addWidget(rdoUpdate);
    layout->addWidget(rdoReplace);
    layout->addStretch();
    return page;
}

bool TfrmImport::event(QEvent* e)
{
    if (e->type() == QEvent::Show && !m_activated) {
        m_activated = true;
        const bool handled = QDialog::event(e);
        LoadColumnWidths(hdrFields, grdFields, m_settingsFileName);
        return handled;
    }
    return QDialog::event(e);
}

void TfrmImport::chooseType(ImportType type)
{
    // Another kind of data has other fields: every mapping goes.
    m_type = type;
    LoadImportFields(type, m_state.programFolder, m_fields);
    std::fill(m_rowField.begin(), m_rowField.end(), -1);
    for (int row = 0; row < grdFields->rowCount(); ++row)
        setRowField(row, -1);
}

void TfrmImport::formatChanged() { m_fileChanged = true; }

std::optional<ImportFormat> TfrmImport::chosenFormat() const
{
    if (rdoComma->isChecked())
        return ImportFormat::Comma;
    if (rdoTab->isChecked())
        return ImportFormat::Tab;
    if (rdoXBase->isChecked())
        return ImportFormat::XBase;
    return std::nullopt;
}

void TfrmImport::btnBrowseClick()
{
    const bool table = rdoXBase->isChecked();
    FileDialogRequest request;
    request.title = "Import Data File";
    request.filter = table ? "xBase Files (*.dbf);;Any file (*.*)" : "Text Files (*.txt);;Any file (*.*)";
    request.defaultExtension = table ? "dbf" : "txt";
    request.proposedName = proposedFileName(table);
    const std::string chosen = m_fileDialogs.chooseOpenFile(request);
    if (chosen.empty())
        return;
    txtFileName->setText(QString::fromStdString(chosen));
    m_fileChanged = true;
    rememberFolder(chosen);
}

bool TfrmImport::openDataFile()
{
    closeDataFile();
    const std::string path = txtFileName->text().toStdString();
    const ImportFormat format = *chosenFormat();
    std::string error;
    m_source = ImportSource::Open(format, path, m_state.dateFormatShown(), error);
    if (!m_source) {
        std::error_code ec;
        if (format == ImportFormat::XBase && std::filesystem::exists(path, ec))
            tell("The xBase file you selected could not be read.  It may be damaged or not an xBase table.",
                 MsgKind::Information);
        else if (std::filesystem::is_regular_file(path, ec) && !exchange::DelimitedReader::LooksLikeText(path))
            tell("The file you selected is not a text file.  Choose a comma or tab delimited text file, or "
                 "choose xBase for a .dbf table.",
                 MsgKind::Information);
        else
            tell(kNotOpened, MsgKind::Information);
        txtFileName->setFocus();
        return false;
    }
    if (m_fileChanged)
        m_recordIndex = 0;
    m_fileChanged = false;
    m_records.clear();
    m_endOfFile = false;
    if (!readUpTo(m_recordIndex))
        m_recordIndex = std::max(0, int(m_records.size()) - 1);
    showRecord();
    return true;
}

void TfrmImport::closeDataFile() { m_source.reset(); }

bool TfrmImport::readUpTo(int index)
{
    while (int(m_records.size()) <= index && !m_endOfFile) {
        ImportRecord record;
        if (m_source && m_source->next(record))
            m_records.push_back(std::move(record));
        else
            m_endOfFile = true;
    }
    return index < int(m_records.size());
}

void TfrmImport::showRecord()
{
    cboImportFields->hide();
    const ImportRecord* record =
        m_recordIndex < int(m_records.size()) ? &m_records[std::size_t(m_recordIndex)] : nullptr;
    // The grid keeps the rows of the widest record shown, so mappings of
    // columns a shorter record lacks stay visible.
    int columns = record ? int(record->values.size()) : 0;
    if (m_source && m_source->isTable())
        for (int c = 0; !m_source->columnName(c).empty(); ++c)
            columns = std::max(columns, c + 1);
    if (columns > grdFields->rowCount()) {
        const int first = grdFields->rowCount();
        grdFields->setRowCount(columns);
        m_rowField.resize(std::size_t(columns), -1);
        for (int row = first; row < columns; ++row) {
            for (int col = colName; col <= colPosition; ++col)
                grdFields->setItem(row, col, new QTableWidgetItem);
            setRowField(row, -1);
        }
    }
    for (int row = 0; row < grdFields->rowCount(); ++row) {
        grdFields->item(row, colName)->setText(QString::fromStdString(m_source ? m_source->columnName(row) : ""));
        const bool has = record && row < int(record->values.size());
        grdFields->item(row, colSample)
            ->setText(has ? QString::fromStdString(record->values[std::size_t(row)].text) : QString());
    }
    btnPrevRecord->setEnabled(m_recordIndex > 0);
    btnNextRecord->setEnabled(readUpTo(m_recordIndex + 1));
}

void TfrmImport::setRowField(int row, int position)
{
    m_rowField[std::size_t(row)] = position;
    const bool mapped = position >= 0 && position < int(m_fields.size());
    grdFields->item(row, colField)
        ->setText(mapped ? QString::fromStdString(m_fields[std::size_t(position)].DisplayName) : QString());
    grdFields->item(row, colPosition)->setText(mapped ? QString::number(position) : QString());
}

void TfrmImport::btnPrevRecordClick()
{
    if (m_recordIndex == 0)
        return;
    --m_recordIndex;
    showRecord();
}

void TfrmImport::btnNextRecordClick()
{
    if (!readUpTo(m_recordIndex + 1))
        return;
    ++m_recordIndex;
    showRecord();
}

void TfrmImport::grdFieldsClick(int row)
{
    if (row < 0 || row >= grdFields->rowCount())
        return;
    m_chooseRow = row;
    // The row's own field is offered again: choosing releases it first.
    const int current = m_rowField[std::size_t(row)];
    cboImportFields->clear();
    cboImportFields->addItem(QString(), -1);
    for (const auto& f : m_fields)
        if (!f.Mapped || f.Position == current)
            cboImportFields->addItem(QString::fromStdString(f.DisplayName), f.Position);
    cboImportFields->setCurrentIndex(std::max(0, cboImportFields->findData(current)));
    const QRect cell = grdFields->visualRect(grdFields->model()->index(row, colField));
    cboImportFields->setGeometry(cell);
    cboImportFields->show();
    cboImportFields->setFocus();
    cboImportFields->showPopup();
}

void TfrmImport::cboImportFieldsChoose(int index)
{
    const int row = m_chooseRow;
    cboImportFields->hidePopup();
    cboImportFields->hide();
    if (row < 0 || row >= grdFields->rowCount() || index < 0)
        return;
    const int position = cboImportFields->itemData(index).toInt();
    const std::string sample = grdFields->item(row, colSample)->text().toStdString();
    if (position >= 0) {
        const TImportFieldType& f = m_fields[std::size_t(position)];
        // The definition file's type says what a field holds; its display name is free text.
        if (f.DataType == ImportDataType::Date && !SampleIsDate(sample)) {
            tell(SampleDateMessage(f.DisplayName), MsgKind::Information);
            return;
        }
        if (f.DataType == ImportDataType::Time && !SampleIsTime(sample)) {
            tell(SampleTimeMessage(f.DisplayName), MsgKind::Information);
            return;
        }
    }
    const int previous = m_rowField[std::size_t(row)];
    if (previous >= 0 && previous < int(m_fields.size()))
        m_fields[std::size_t(previous)].Mapped = false;
    if (position >= 0)
        m_fields[std::size_t(position)].Mapped = true;
    setRowField(row, position);
}

std::string TfrmImport::summaryText() const
{
    if (!m_type || !chosenFormat())
        return {};
    return std::string("Import:\t") + ImportTypeName(*m_type) + "\n\nFrom:\n" +
           shownPath(txtFileName->text().toStdString()) + "\n\nFormat:\t" + formatName(*chosenFormat()) + "\n\n" +
           (rdoReplace->isChecked() ? "Delete & Replace the current information"
                                    : "Add to/Update the current information");
}

void TfrmImport::btnNextClick()
{
    switch (page()) {
    case pgWelcome:
        showPage(pgType);
        return;
    case pgType:
        if (!m_type) {
            tell("Please select the type of data you wish to import.", MsgKind::Information);
            return;
        }
        showPage(pgFile);
        return;
    case pgFile:
        if (!chosenFormat()) {
            tell("Please select your data file format.", MsgKind::Information);
            return;
        }
        if (txtFileName->text().trimmed().isEmpty()) {
            tell("Please select your import data file.", MsgKind::Information);
            txtFileName->setFocus();
            return;
        }
        {
            WaitCursor wait;
            if (!openDataFile())
                return;
        }
        showPage(pgFields);
        return;
    case pgFields: {
        if (std::none_of(m_fields.begin(), m_fields.end(), [](const TImportFieldType& f) { return f.Mapped; })) {
            tell("Please select the fields your import data will be stored in.", MsgKind::Information);
            return;
        }
        const std::string missing = RequiredFieldsMessage(*m_type, m_fields);
        if (!missing.empty()) {
            tell(missing, MsgKind::Information);
            return;
        }
        cboImportFields->hide();
        closeDataFile();
        showPage(pgAction);
        return;
    }
    case pgAction:
        showPage(pgSummary);
        return;
    case pgSummary:
        runImport();
        return;
    }
}

void TfrmImport::btnBackClick()
{
    const int current = page();
    if (current == pgWelcome)
        return;
    if (current == pgFields) {
        cboImportFields->hide();
        closeDataFile();
    }
    showPage(current - 1);
}

void TfrmImport::runImport()
{
    ImportRequest request;
    request.type = *m_type;
    request.format = *chosenFormat();
    request.fileName = txtFileName->text().toStdString();
    request.replace = rdoReplace->isChecked();
    request.fields = m_fields;
    request.columnField = m_rowField;
    wizard::BarProgress bar(m_progress);
    request.progress = &bar;
    const ImportResult result = runHeld([&] { return RunImport(m_dm, request); });
    tellAll(result.notices);
    if (result.outcome != ImportResult::Outcome::Completed)
        return; // the notices said why; the wizard stays on its summary
    m_imported = true;
    const std::string summary = ImportSummaryText(result);
    if (!summary.empty())
        tell(summary, MsgKind::Information);
    askForAnother("Import complete.  Do you want to Import another file?");
}

void TfrmImport::closing()
{
    closeDataFile();
    if (m_activated)
        SaveColumnWidths(hdrFields, m_settingsFileName);
}

} // namespace hv
