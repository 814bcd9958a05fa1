#include "exchange/migrate/windows/Convert.h"

#include "engine/Table.h"
#include "exchange/migrate/ConvertExtractor.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace hv {
namespace {

struct StepLine {
    ExtractFile file;
    const char* caption;
    const char* stem; // of the object names
};

// The steps as the window lists them; the loading runs in file order.
const StepLine kSteps[] = {
    {ExtractFile::Reason, "Time Off Reasons", "Reason"}, {ExtractFile::Policy, "Benefit Policies", "Policy"},
    {ExtractFile::Dept, "Departments", "Dept"},          {ExtractFile::Employee, "Employees", "Employee"},
    {ExtractFile::TimeOff, "Time Off", "TimeOff"},       {ExtractFile::Work, "Punch In/Out Times", "Work"},
    {ExtractFile::Wage, "Wage Information", "Wage"},     {ExtractFile::Accrual, "Benefit Accruals", "Accrual"},
};

const char* const kReplaceQuestion =
    "The migration will replace all information you already have in Hourvane.  Are you sure you want to continue?";
const char* const kProgramName = "The program to extract information from your current copy of Hourvane (CONVERT.EXE)";

QLabel* plainLabel(const QString& text, QWidget* parent, const char* name)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    return l;
}

void setBold(QLabel* label, bool bold)
{
    QFont f = label->font();
    f.setBold(bold);
    label->setFont(f);
}

// The step's mark: an arrow while it runs, a check mark when it is done.
void setMark(QLabel* mark, const char* state)
{
    mark->setProperty("mark", state);
    mark->setText(QString::fromUtf8(std::string(state) == "arrow"   ? "\u27A4"
                                    : std::string(state) == "check" ? "\u2714"
                                                                    : ""));
}

} // namespace

TfrmConvert::TfrmConvert(THourvaneDataMod& dm, std::string settingsFileName, std::string programFolder,
                         std::unique_ptr<ConvertExtractor> extractor, QWidget* owner) :
    QDialog(owner),
    m_dm(dm),
    m_settingsFileName(std::move(settingsFileName)),
    m_programFolder(std::move(programFolder)),
    m_extractor(extractor ? std::move(extractor) : std::make_unique<ProcessExtractor>())
{
    setObjectName("frmConvert");
    setWindowTitle("Hourvane Data Migration");

    m_pages = new QStackedWidget(this);
    auto* intro = new QWidget(m_pages);
    intro->setObjectName("pnlIntro");
    auto* introLayout = new QVBoxLayout(intro);
    introLayout->addWidget(plainLabel("The migration first runs the extraction program of your current copy of "
                                      "Hourvane (CONVERT.EXE), which writes its data into text files, and then "
                                      "loads those files into this version.",
                                      intro, "lblIntro1"));
    introLayout->addWidget(plainLabel("The migration replaces all information you have already entered in this "
                                      "version of Hourvane.",
                                      intro, "lblIntro2"));
    introLayout->addWidget(plainLabel("The data of your current copy of Hourvane is not changed.", intro, "lblIntro3"));
    introLayout->addStretch(1);
    m_pages->addWidget(intro);

    auto* work = new QWidget(m_pages);
    work->setObjectName("pnlProgress");
    auto* grid = new QGridLayout(work);
    lblExtracting = plainLabel("Extracting data from Version 2.0...", work, "lblExtracting");
    lblLoading = plainLabel("Loading data into Version 3.0...", work, "lblLoading");
    grid->addWidget(lblExtracting, 0, 0, 1, 3);
    grid->addWidget(lblLoading, 1, 0, 1, 3);
    int row = 2;
    for (const StepLine& s : kSteps) {
        auto* mark = plainLabel(QString(), work, "");
        mark->setObjectName(QString("img") + s.stem);
        mark->setWordWrap(false);
        mark->setFixedWidth(20);
        setMark(mark, "");
        auto* caption = plainLabel(s.caption, work, "");
        caption->setObjectName(QString("lbl") + s.stem);
        auto* bar = new QProgressBar(work);
        bar->setObjectName(QString("pb") + s.stem);
        bar->setTextVisible(false);
        bar->setValue(0);
        imgStep[int(s.file)] = mark;
        pbFile[int(s.file)] = bar;
        grid->addWidget(mark, row, 0);
        grid->addWidget(caption, row, 1);
        grid->addWidget(bar, row, 2);
        ++row;
    }
    lblCompleted = plainLabel("Hourvane Data Migration Completed", work, "lblCompleted");
    setBold(lblCompleted, true);
    lblCompleted->setVisible(false);
    grid->addWidget(lblCompleted, row++, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    m_pages->addWidget(work);

    memSummary = new QPlainTextEdit(this);
    memSummary->setObjectName("memSummary");
    memSummary->setReadOnly(true);

    cmdMigrate = new QPushButton("Migrate", this);
    cmdMigrate->setObjectName("cmdMigrate");
    cmdClose = new QPushButton("Close", this);
    cmdClose->setObjectName("cmdClose");
    cmdMigrate->setDefault(true);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(cmdMigrate);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(memSummary, 1);
    layout->addLayout(buttons);
    setMinimumWidth(480);

    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, [this] { tmrConvertTimer(); });
    connect(cmdMigrate, &QPushButton::clicked, this, [this] { cmdMigrateClick(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { close(); });
}

TfrmConvert::~TfrmConvert() = default;

void TfrmConvert::setButtons(bool enabled)
{
    cmdMigrate->setEnabled(enabled);
    cmdClose->setEnabled(enabled);
}

void TfrmConvert::showPhase(bool loading)
{
    setBold(lblExtracting, !loading);
    setBold(lblLoading, loading);
}

void TfrmConvert::backToStart()
{
    m_timer.stop();
    setButtons(true);
    m_pages->setCurrentIndex(0);
}

void TfrmConvert::cmdMigrateClick()
{
    WaitCursor wait; // every message puts the normal cursor back first
    try {
        if (m_dm.tblEmps.recordCount() > 0 || m_dm.tblReasons.recordCount() > 0)
            if (ask(kReplaceQuestion) != MsgResult::Yes)
                return;
    } catch (const std::exception& e) {
        tell(e.what(), MsgKind::Error);
        return;
    }
    RemoveOldExtractFiles(ExtractFolder(m_settingsFileName));
    const std::string folder = ConvertFolder(m_settingsFileName, m_programFolder);
    const std::string program = m_extractor->find(folder);
    if (program.empty()) {
        tell(std::string(kProgramName) + " is missing.\r\rPlease copy it to the '" + folder + "' folder and try again.",
             MsgKind::Information);
        return;
    }
    setButtons(false);
    memSummary->clear();
    lblCompleted->setVisible(false);
    for (int i = 0; i < kExtractFileCount; ++i) {
        setMark(imgStep[i], "");
        pbFile[i]->setValue(0);
    }
    m_pages->setCurrentIndex(1);
    showPhase(false);
    std::string reason;
    if (!m_extractor->start(program, folder, reason)) {
        tell(std::string(kProgramName) + " could not be started.\r\r" + reason, MsgKind::Information);
        backToStart();
        return;
    }
    m_startTime = QDateTime::currentDateTimeUtc();
    m_timer.start();
}

void TfrmConvert::tmrConvertTimer()
{
    // Whether the program has ended is read before looking for its last
    // file: a program that wrote it and ended in between is not taken for one
    // that failed.
    const bool ended = m_extractor->ended();
    const std::string folder = ExtractFolder(m_settingsFileName);
    if (!folder.empty() && !FindFileNoCase(folder, kDoneFileName).empty()) {
        m_timer.stop();
        runLoading();
        return;
    }
    if (ended) {
        m_timer.stop();
        tell(std::string(kProgramName) + " ended before it finished.  Nothing was loaded.", MsgKind::Information);
        backToStart();
        return;
    }
    if (m_startTime.msecsTo(QDateTime::currentDateTimeUtc()) > m_waitLimitMs &&
        FindFileNoCase(folder, ExtractFileName(ExtractFile::Reason)).empty()) {
        m_timer.stop();
        if (ask("It looks like the Conversion is having a problem.\r\rWould you like to keep waiting?") ==
            MsgResult::Yes) {
            m_startTime = QDateTime::currentDateTimeUtc();
            m_timer.start();
        } else {
            cmdClose->setEnabled(true); // the user gives up
        }
    }
}

void TfrmConvert::runLoading()
{
    showPhase(true);
    m_loading = true;
    ShowWaitCursor();
    const ExtractData data = ReadExtract(ExtractFolder(m_settingsFileName), OldSettingsFile());
    if (!data.problems.empty()) {
        m_loading = false;
        memSummary->setPlainText(QString::fromStdString(ExtractProblemsText(data)));
        tell(kExtractProblemsMessage, MsgKind::Information);
        setButtons(true);
        return;
    }
    ConvertOptions options;
    options.observer = this;
    options.beforeStore = m_loadHook;
    const ConvertResult result = LoadExtract(m_dm, data, options);
    m_loading = false;
    switch (result.outcome) {
    case ConvertResult::Outcome::Loaded:
        memSummary->setPlainText(QString::fromStdString(ConvertSummaryText(data, result)));
        lblCompleted->setVisible(true);
        cmdClose->setEnabled(true);
        break;
    case ConvertResult::Outcome::Failed:
        memSummary->setPlainText(QString::fromStdString(
            std::string("The loading stopped at ") + ExtractFileName(result.failedFile) +
            (result.failedLine > 0 ? ", line " + std::to_string(result.failedLine) : std::string()) +
            ".  Nothing was loaded and your Hourvane data has not been changed."));
        setButtons(true);
        break;
    default:
        setButtons(true);
        break;
    }
    RestoreCursor();
}

void TfrmConvert::stepStarted(ExtractFile file)
{
    setMark(imgStep[int(file)], "arrow");
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmConvert::stepDone(ExtractFile file)
{
    setMark(imgStep[int(file)], "check");
    QProgressBar* bar = pbFile[int(file)];
    if (bar->maximum() == 0) // an empty or missing file: nothing left to do
        bar->setRange(0, 1);
    bar->setValue(bar->maximum());
}

void TfrmConvert::fileProgress(ExtractFile file, int position, int maximum)
{
    pbFile[int(file)]->setRange(0, std::max(1, maximum));
    pbFile[int(file)]->setValue(position);
}

void TfrmConvert::keepResponsive() { QApplication::processEvents(); }

void TfrmConvert::closeEvent(QCloseEvent* event)
{
    // Neither the loading nor a running extraction is left halfway.
    if (m_loading || !cmdClose->isEnabled()) {
        event->ignore();
        return;
    }
    m_timer.stop();
    QDialog::closeEvent(event);
}

void TfrmConvert::reject()
{
    if (m_loading || !cmdClose->isEnabled())
        return;
    QDialog::reject();
}

} // namespace hv
