#include "timeoff/windows/Wizard.h"

#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "ports/CursorService.h"
#include "ports/HelpService.h"
#include "ports/MessageService.h"
#include "timeoff/PolicyBands.h"
#include "timeoff/TPolicy.h"
#include "timeoff/TReason.h"
#include "widgets/TQVComboBox.h"
#include "widgets/TQVGrid.h"
#include "widgets/WindowUtil.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace hv {
namespace {

const char* const kReviewQuestion = "Would you like to review or edit another Policy?";

QLabel* label(const char* text, QWidget* parent)
{
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setWordWrap(true);
    return l;
}

QRadioButton* radio(const char* name, const char* caption, QWidget* parent)
{
    auto* b = new QRadioButton(caption, parent);
    b->setObjectName(name);
    return b;
}

// Hours with two decimals, in the regional notation.
QLineEdit* hoursBox(const char* name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    const QString separator = QRegularExpression::escape(QString::fromStdString(regional().decimalSeparator));
    box->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d{0,5}(" + separator + "\\d{0,2})?"), box));
    box->setMaximumWidth(80);
    return box;
}

float hoursOf(const QLineEdit* box) { return float(StrToFloatDef(box->text().toStdString(), 0)); }

QString hoursText(float value) { return QString::fromStdString(FormatFloat("#0.00", value)); }

} // namespace

TfrmPolicy::TfrmPolicy(THourvaneDataMod& dm, AppState& state, std::string settingsFileName, QWidget* owner) :
    QDialog(owner),
    m_dm(dm),
    m_state(state),
    m_settingsFileName(std::move(settingsFileName)),
    m_list(std::make_unique<TPolicyListClass>(dm))
{
    setObjectName("frmPolicy");
    setWindowTitle("Benefit Policy Wizard");
    buildPages();

    cmdCancel = new QPushButton("Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    cmdExamples = new QPushButton("&Examples", this);
    cmdExamples->setObjectName("cmdExamples");
    cmdBack = new QPushButton("&Back", this);
    cmdBack->setObjectName("cmdBack");
    cmdNext = new QPushButton("&Next", this);
    cmdNext->setObjectName("cmdNext");
    for (QPushButton* b : {cmdCancel, cmdExamples, cmdBack, cmdNext})
        b->setAutoDefault(false);
    cmdBack->setEnabled(false);
    cmdNext->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdExamples);
    buttons->addStretch();
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdNext);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pgWizard);
    layout->addLayout(buttons);

    connect(cmdCancel, &QPushButton::clicked, this, &TfrmPolicy::reject);
    connect(cmdExamples, &QPushButton::clicked, this, [] { helpService().showTopic(kPolicyWizardHelpContext); });
    connect(cmdBack, &QPushButton::clicked, this, &TfrmPolicy::cmdBackClick);
    connect(cmdNext, &QPushButton::clicked, this, &TfrmPolicy::cmdNextClick);
    connect(cboBenefits, &TQVComboBox::itemClicked, this, [this](int) { cboBenefitsClick(); });
    connect(cboBenefits, &TQVComboBox::dropDown, this, [this] {
        const std::string shown = cboBenefits->currentText().toStdString();
        TReasonRecClass(m_dm).FillPolicyReasonList(*cboBenefits);
        if (cboBenefits->SelectText(shown) < 0)
            cboBenefits->setCurrentIndex(-1);
    });
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [] { helpService().showTopic(kPolicyWizardHelpContext); });

    TReasonRecClass(m_dm).FillPolicyReasonList(*cboBenefits);
    cboBenefits->setCurrentIndex(-1);
    showPage(0);
}

TfrmPolicy::~TfrmPolicy()
{
    saveWidths();
    releaseRules();
}

void TfrmPolicy::buildPages()
{
    pgWizard = new QStackedWidget(this);
    pgWizard->setObjectName("pgWizard");

    auto* intro = new QWidget(pgWizard);
    auto* introLayout = new QVBoxLayout(intro);
    introLayout->addWidget(
        label("The next few screens will help you enter your policy information into Hourvane.", intro));
    introLayout->addWidget(label("Click Cancel at any time to abandon your work; nothing is saved until you click "
                                 "Finish on the last screen.",
                                 intro));
    introLayout->addWidget(label("Click Examples to see examples of benefit policies.", intro));
    cboBenefits = new TQVComboBox(intro);
    cboBenefits->setObjectName("cboBenefits");
    cboBenefits->setMinimumContentsLength(30);
    introLayout->addWidget(label("Select Benefit", intro));
    introLayout->addWidget(cboBenefits);
    introLayout->addStretch();
    pgWizard->addWidget(intro);

    auto* bandPage = new QWidget(pgWizard);
    auto* grid = new QGridLayout(bandPage);
    grid->addWidget(label("An employee who has worked for your company for", bandPage), 0, 0, 1, 4);
    pnlAtLeast = new QWidget(bandPage);
    pnlAtLeast->setObjectName("pnlAtLeast");
    auto* atLeast = new QHBoxLayout(pnlAtLeast);
    atLeast->setContentsMargins(0, 0, 0, 0);
    txtStart = new QLineEdit(pnlAtLeast);
    txtStart->setObjectName("txtStart");
    txtStart->setReadOnly(true);
    txtStart->setMaximumWidth(60);
    optStartYears = radio("optStartYears", "Years", pnlAtLeast);
    optStartMonths = radio("optStartMonths", "Months", pnlAtLeast);
    optStartYears->setEnabled(false);
    optStartMonths->setEnabled(false);
    atLeast->addWidget(label("at least", pnlAtLeast));
    atLeast->addWidget(txtStart);
    atLeast->addWidget(optStartYears);
    atLeast->addWidget(optStartMonths);
    atLeast->addStretch();
    grid->addWidget(pnlAtLeast, 1, 0, 1, 4);

    txtEnd = new QLineEdit(bandPage);
    txtEnd->setObjectName("txtEnd");
    txtEnd->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d{0,4}"), txtEnd));
    txtEnd->setMaximumWidth(60);
    optEndYears = radio("optEndYears", "Years", bandPage);
    optEndMonths = radio("optEndMonths", "Months", bandPage);
    auto* endGroup = new QButtonGroup(bandPage);
    endGroup->addButton(optEndYears);
    endGroup->addButton(optEndMonths);
    grid->addWidget(label("up to", bandPage), 2, 0);
    grid->addWidget(txtEnd, 2, 1);
    grid->addWidget(optEndYears, 2, 2);
    grid->addWidget(optEndMonths, 2, 3);

    txtHours = hoursBox("txtHours", bandPage);
    optHoursYear = radio("optHoursYear", "Hours per year", bandPage);
    optHoursPeriod = radio("optHoursPeriod", "Hours for the period", bandPage);
    auto* hoursGroup = new QButtonGroup(bandPage);
    hoursGroup->addButton(optHoursYear);
    hoursGroup->addButton(optHoursPeriod);
    grid->addWidget(label("will earn", bandPage), 3, 0);
    grid->addWidget(txtHours, 3, 1);
    grid->addWidget(optHoursYear, 3, 2);
    grid->addWidget(optHoursPeriod, 3, 3);

    txtCarryOver = hoursBox("txtCarryOver", bandPage);
    grid->addWidget(label("and can carry over up to", bandPage), 4, 0);
    grid->addWidget(txtCarryOver, 4, 1);
    grid->addWidget(label("hours into the next year", bandPage), 4, 2, 1, 2);
    grid->addWidget(label("The up to period can not be greater than 80 years (960 months).", bandPage), 5, 0, 1, 4);
    grid->setRowStretch(6, 1);
    optEndYears->setChecked(true);
    optHoursYear->setChecked(true);
    txtEnd->setText("80");
    pgWizard->addWidget(bandPage);

    auto* tablePage = new QWidget(pgWizard);
    auto* tableLayout = new QVBoxLayout(tablePage);
    tableLayout->addWidget(label("Here is the policy information you just entered. If it is correct, click on the "
                                 "Finish  button.  If you need to make changes, click on the Back button.",
                                 tablePage));
    grdPolicy = new TQVGrid(tablePage);
    grdPolicy->setObjectName("grdPolicy");
    grdPolicy->setColumnCount(4);
    grdPolicy->setColumnWidth(0, 90);
    grdPolicy->setColumnWidth(1, 90);
    grdPolicy->setColumnWidth(2, 190);
    grdPolicy->setFixedHeight(5 * 22 + 4);
    grdPolicy->setScrollRows(6);
    hdrPolicy = grdPolicy->makeHeader("hdrPolicy", {"at least", "up to", "will earn", "and carry over"}, 7);
    hdrPolicy->setFixedHeight(hdrPolicy->fontMetrics().height() + 8);
    // The header sits on the grid, as one control.
    auto* gridBox = new QVBoxLayout;
    gridBox->setSpacing(0);
    gridBox->addWidget(hdrPolicy);
    gridBox->addWidget(grdPolicy);
    tableLayout->addLayout(gridBox);
    tableLayout->addStretch();
    pgWizard->addWidget(tablePage);
}

bool TfrmPolicy::event(QEvent* e)
{
    if (e->type() == QEvent::Show && !m_shown) {
        m_shown = true;
        const bool handled = QDialog::event(e);
        LoadColumnWidths(hdrPolicy, grdPolicy, m_settingsFileName);
        grdPolicy->sizeLastColumn();
        return handled;
    }
    return QDialog::event(e);
}

void TfrmPolicy::saveWidths()
{
    if (m_shown && !m_closed)
        SaveColumnWidths(hdrPolicy, m_settingsFileName);
    m_closed = true;
}

void TfrmPolicy::releaseRules()
{
    if (m_list->ReasonID() != 0)
        m_list->UnlockAll(m_state.lockIdentity);
}

void TfrmPolicy::showPage(int page)
{
    m_page = page;
    pgWizard->setCurrentIndex(page);
    cmdBack->setEnabled(page > 0);
    cmdNext->setText(page == 2 ? "&Finish" : "&Next");
}

void TfrmPolicy::cboBenefitsClick()
{
    if (cboBenefits->currentIndex() < 0)
        return;
    WaitCursor wait;
    releaseRules();
    m_list->SetReasonID(cboBenefits->SelectedID());
    m_list->Load();
    m_list->LockAll(m_state.lockIdentity);
    setWindowTitle(cboBenefits->currentText() + " Benefit Policy Wizard");
    cmdNext->setEnabled(true);
}

void TfrmPolicy::showBand()
{
    const BandView view = ShowBand(*m_list, m_band, txtEnd->text().toInt(), optEndYears->isChecked());
    pnlAtLeast->setVisible(view.showAtLeast);
    txtStart->setText(QString::number(view.atLeast));
    (view.atLeastYears ? optStartYears : optStartMonths)->setChecked(true);
    txtEnd->setText(QString::number(view.upTo));
    (view.upToYears ? optEndYears : optEndMonths)->setChecked(true);
    (view.hoursForPeriod ? optHoursPeriod : optHoursYear)->setChecked(true);
    txtHours->setText(hoursText(view.hours));
    txtCarryOver->setText(hoursText(view.carryOver));
    txtEnd->setFocus(Qt::OtherFocusReason);
    txtEnd->selectAll();
}

void TfrmPolicy::fillTable()
{
    const auto rows = PolicyTableRows(*m_list);
    grdPolicy->clearCells();
    grdPolicy->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < 4; ++c)
            grdPolicy->setCell(r, c, rows[std::size_t(r)][std::size_t(c)]);
    // The last section and column take what the others leave.
    int others = 0;
    for (int c = 0; c < 3; ++c)
        others += hdrPolicy->sectionSize(c);
    hdrPolicy->resizeSection(3, std::max(0, grdPolicy->QWidget::width() - others));
    grdPolicy->sizeLastColumn();
}

void TfrmPolicy::cmdNextClick()
{
    switch (m_page) {
    case 0:
        if (m_list->ReasonID() == 0)
            return;
        m_band = 0;
        showPage(1);
        showBand();
        return;
    case 1: {
        BandInput input;
        input.upTo = txtEnd->text().toInt();
        input.upToYears = optEndYears->isChecked();
        input.hours = hoursOf(txtHours);
        input.hoursForPeriod = optHoursPeriod->isChecked();
        input.carryOver = hoursOf(txtCarryOver);
        switch (StoreBand(*m_list, m_band, input)) {
        case BandResult::Refused:
            ShowMessageBox(kUpToMessage, MsgKind::Information, MsgButtons::Ok, kUpToHelpContext);
            txtEnd->setFocus(Qt::OtherFocusReason);
            return;
        case BandResult::Last:
            showPage(2);
            fillTable();
            return;
        case BandResult::Next:
            ++m_band;
            showBand();
            return;
        }
        return;
    }
    default:
        finish();
        return;
    }
}

void TfrmPolicy::finish()
{
    const bool another = ShowMessageBox(kReviewQuestion, MsgKind::Confirmation, MsgButtons::YesNo) == MsgResult::Yes;
    bool saved = false;
    {
        WaitCursor wait;
        saved = m_list->SaveChain(m_state.lockIdentity);
    }
    // A failed save keeps the work on screen, whatever the answer.
    if (!saved)
        return;
    if (!another) {
        // Rules left unchanged still hold their locks; the reload reads the
        // rows under their new keys first.
        m_list->Load();
        releaseRules();
        m_list->SetReasonID(0);
        saveWidths();
        QDialog::accept();
        return;
    }
    {
        // The saved rows sit under new keys: the next pass edits them as stored now.
        WaitCursor wait;
        m_list->Load();
        m_list->LockAll(m_state.lockIdentity);
    }
    m_band = 0;
    showPage(0);
}

void TfrmPolicy::cmdBackClick()
{
    if (m_page == 2) {
        showPage(1);
        showBand();
    } else if (m_page == 1 && m_band > 0) {
        --m_band;
        showBand();
    } else if (m_page == 1) {
        showPage(0);
    }
}

void TfrmPolicy::reject()
{
    releaseRules();
    m_list->SetReasonID(0);
    saveWidths();
    QDialog::reject();
}

} // namespace hv
