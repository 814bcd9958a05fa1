// Building the Employees window: the selectors, the navigation bar, the
// section panels and their controls, and what each control is wired to.
#include "people/TFields.h"
#include "people/TOther.h"
#include "people/windows/Emp.h"
#include "widgets/TQVComboBox.h"
#include "widgets/TQVDateEdit.h"
#include "widgets/TQVGrid.h"
#include "widgets/TQVNumberEdit.h"
#include "widgets/WindowParts.h"
#include "widgets/WindowUtil.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyle>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace hv {
namespace {

const char* const kNoCustomData =
    "No Custom Employee Data fields have been defined.\r\rTo add your own data items to an employee record, select "
    "the 'Custom Employee Data...' option from the Edit menuand enter the appropriate information.";

struct SectionLook {
    const char* caption;
    const char* buttonName;
    QStyle::StandardPixmap picture;
};

const SectionLook kSections[TfrmEmp::SectionCount] = {
    {"Basic Data", "navBasicData", QStyle::SP_FileDialogDetailedView},
    {"Personal Data", "navPersonalData", QStyle::SP_DirHomeIcon},
    {"Comments", "navComments", QStyle::SP_FileDialogContentsView},
    {"Wages", "navWages", QStyle::SP_DialogSaveButton},
    {"Benefit Accruals", "navBenefitAccruals", QStyle::SP_FileDialogInfoView},
    {"Custom Data", "navCustomData", QStyle::SP_FileDialogListView},
    {"Overtime", "navOvertime", QStyle::SP_BrowserReload},
};

// The sections this edition offers a button for.
constexpr int kOfferedSections = TfrmEmp::CustomData;

QWidget* gridWithHeader(TQVGrid* grid, QHeaderView* header, QWidget* parent)
{
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addWidget(grid);
    return box;
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets)
{
    auto* layout = new QHBoxLayout;
    layout->setSpacing(2);
    for (QWidget* w : widgets)
        layout->addWidget(w);
    layout->addStretch();
    return layout;
}

} // namespace

void TfrmEmp::showSectionHeader(Section section)
{
    lblSelection->setText(QString(" ") + kSections[section].caption);
    imgLabel->setPixmap(style()->standardIcon(kSections[section].picture).pixmap(16, 16));
}

QLineEdit* TfrmEmp::textField(const char* name, int maxLength, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    // As many characters as the column keeps.
    field->setMaxLength(maxLength);
    return field;
}

TQVDateEdit* TfrmEmp::dateField(const char* name, QToolButton*& button, const char* buttonName, QWidget* parent)
{
    auto* field = new TQVDateEdit(parent);
    field->setObjectName(name);
    field->setMaximumWidth(100);
    button = new QToolButton(parent);
    button->setObjectName(buttonName);
    button->setText("...");
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, [this, field] { spdDateClick(field); });
    return field;
}

void TfrmEmp::buildControls()
{
    cboEmpType = new TQVComboBox(this);
    cboEmpType->setObjectName("cboEmpType");
    cboEmpType->add("Current", 0);
    cboEmpType->add("All", 2);
    cboEmpType->add("Former", 1);
    cboEmps = new TQVComboBox(this);
    cboEmps->setObjectName("cboEmps");
    cboEmps->setMinimumContentsLength(28);

    pnlHeader = new QWidget(this);
    pnlHeader->setObjectName("pnlHeader");
    pnlHeader->setAutoFillBackground(true);
    imgLabel = new QLabel(pnlHeader);
    imgLabel->setObjectName("imgLabel");
    lblSelection = new QLabel(pnlHeader);
    lblSelection->setObjectName("lblSelection");
    QFont headerFont = lblSelection->font();
    headerFont.setBold(true);
    headerFont.setPointSizeF(headerFont.pointSizeF() * 1.3);
    lblSelection->setFont(headerFont);
    auto* headerLayout = new QHBoxLayout(pnlHeader);
    headerLayout->setContentsMargins(6, 3, 6, 3);
    headerLayout->addWidget(imgLabel);
    headerLayout->addWidget(lblSelection, 1);

    m_sections = new QStackedWidget(this);
    m_sections->setObjectName("pnlSections");
    m_panels[BasicData] = buildBasicData();
    m_panels[PersonalData] = buildPersonalData();
    m_panels[Comments] = buildComments();
    m_panels[Wages] = buildWages();
    m_panels[Accruals] = buildAccruals();
    m_panels[CustomData] = buildCustomData();
    m_panels[Overtime] = buildOvertime();
    for (QWidget* panel : m_panels)
        m_sections->addWidget(panel);

    QHBoxLayout* buttons = buildButtons();

    buildNavigationBar();

    auto* selectors = new QHBoxLayout;
    selectors->addWidget(fieldLabel("Show", cboEmpType, this));
    selectors->addWidget(cboEmpType);
    selectors->addSpacing(12);
    selectors->addWidget(fieldLabel("Select Employee", cboEmps, this));
    selectors->addWidget(cboEmps, 1);
    auto* right = new QVBoxLayout;
    right->addLayout(selectors);
    right->addWidget(pnlHeader);
    right->addWidget(m_sections, 1);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(scrNavigation);
    layout->addLayout(right, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connectFields();
}

QWidget* TfrmEmp::buildBasicData()
{
    auto* panel = new QWidget(this);
    panel->setObjectName("pnlBasicData");
    txtFirstName = textField("txtFirstName", 15, panel);
    txtLastName = textField("txtLastName", 20, panel);
    txtEmpCode = textField("txtEmpCode", 15, panel);
    txtStartDate = dateField("txtStartDate", spdStartDate, "spdStartDate", panel);
    txtEndDate = dateField("txtEndDate", spdEndDate, "spdEndDate", panel);
    cboDepts = new TQVComboBox(panel);
    cboDepts->setObjectName("cboDepts");
    cboDepts->setMinimumContentsLength(24);
    chkManager = new QCheckBox("Manager", panel);
    chkManager->setObjectName("chkManager");
    txtPosition = textField("txtPosition", 30, panel);
    chkBenefits = new QCheckBox("Eligible to Earn Benefit Hours", panel);
    chkBenefits->setObjectName("chkBenefits");
    chkActive = new QCheckBox("Employee is Active", panel);
    chkActive->setObjectName("chkActive");
    grdBalances = new TQVGrid(panel);
    grdBalances->setObjectName("grdBalances");
    grdBalances->setColumnCount(4);
    grdBalances->setRightAlignedFrom(1);
    grdBalances->setColumnWidth(0, 150);
    grdBalances->setColumnWidth(1, 70);
    grdBalances->setColumnWidth(2, 70);
    grdBalances->setFixedHeight(110);
    hdrBalances = grdBalances->makeHeader("hdrBalances", {"Benefit", "Earned", "Taken", "Remaining"}, 7);

    auto* grid = new QGridLayout(panel);
    grid->addWidget(fieldLabel("First Name", txtFirstName, panel), 0, 0);
    grid->addWidget(txtFirstName, 0, 1);
    grid->addWidget(fieldLabel("Last Name", txtLastName, panel), 0, 2);
    grid->addWidget(txtLastName, 0, 3);
    grid->addWidget(fieldLabel("Employee ID", txtEmpCode, panel), 1, 0);
    grid->addWidget(txtEmpCode, 1, 1);
    grid->addWidget(fieldLabel("Start Date", txtStartDate, panel), 2, 0);
    grid->addLayout(row({txtStartDate, spdStartDate}), 2, 1);
    grid->addWidget(fieldLabel("Term Date", txtEndDate, panel), 2, 2);
    grid->addLayout(row({txtEndDate, spdEndDate}), 2, 3);
    grid->addWidget(fieldLabel("Department", cboDepts, panel), 3, 0);
    grid->addWidget(cboDepts, 3, 1, 1, 2);
    grid->addWidget(chkManager, 3, 3);
    grid->addWidget(fieldLabel("Position", txtPosition, panel), 4, 0);
    grid->addWidget(txtPosition, 4, 1, 1, 3);
    grid->addWidget(chkBenefits, 5, 1, 1, 2);
    grid->addWidget(chkActive, 5, 3);
    grid->addWidget(new QLabel("Benefit Hours", panel), 6, 0, 1, 4);
    grid->addWidget(gridWithHeader(grdBalances, hdrBalances, panel), 7, 0, 1, 4);
    grid->setRowStretch(8, 1);
    return panel;
}

QWidget* TfrmEmp::buildPersonalData()
{
    auto* panel = new QWidget(this);
    panel->setObjectName("pnlPersonalData");
    txtStreet1 = textField("txtStreet1", 30, panel);
    txtStreet2 = textField("txtStreet2", 30, panel);
    txtCity = textField("txtCity", 20, panel);
    txtState = textField("txtState", 5, panel);
    txtZip = textField("txtZip", 10, panel);
    txtHomePhone = textField("txtHomePhone", 20, panel);
    auto* emergency = new QGroupBox("In case of Emergency", panel);
    txtContact = textField("txtContact", 30, emergency);
    txtDayPhone = textField("txtDayPhone", 20, emergency);
    txtNightPhone = textField("txtNightPhone", 20, emergency);
    txtRelationship = textField("txtRelationship", 30, emergency);

    auto* inner = new QGridLayout(emergency);
    inner->addWidget(fieldLabel("Name", txtContact, emergency), 0, 0);
    inner->addWidget(txtContact, 0, 1);
    inner->addWidget(fieldLabel("Day Phone", txtDayPhone, emergency), 1, 0);
    inner->addWidget(txtDayPhone, 1, 1);
    inner->addWidget(fieldLabel("Night Phone", txtNightPhone, emergency), 2, 0);
    inner->addWidget(txtNightPhone, 2, 1);
    inner->addWidget(fieldLabel("Relationship", txtRelationship, emergency), 3, 0);
    inner->addWidget(txtRelationship, 3, 1);

    auto* grid = new QGridLayout(panel);
    grid->addWidget(fieldLabel("Address", txtStreet1, panel), 0, 0);
    grid->addWidget(txtStreet1, 0, 1, 1, 3);
    grid->addWidget(txtStreet2, 1, 1, 1, 3);
    grid->addWidget(fieldLabel("City", txtCity, panel), 2, 0);
    grid->addWidget(txtCity, 2, 1);
    grid->addWidget(fieldLabel("State", txtState, panel), 2, 2);
    grid->addWidget(txtState, 2, 3);
    grid->addWidget(fieldLabel("Postal Code", txtZip, panel), 3, 0);
    grid->addWidget(txtZip, 3, 1);
    grid->addWidget(fieldLabel("Home Phone", txtHomePhone, panel), 4, 0);
    grid->addWidget(txtHomePhone, 4, 1);
    grid->addWidget(emergency, 5, 0, 1, 4);
    grid->setRowStretch(6, 1);
    return panel;
}

QWidget* TfrmEmp::buildComments()
{
    auto* panel = new QWidget(this);
    panel->setObjectName("pnlComments");
    txtComments = new QTextEdit(panel);
    txtComments->setObjectName("txtComments");
    // Reports and the export read the comments as plain text.
    txtComments->setAcceptRichText(false);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(txtComments);
    return panel;
}

QWidget* TfrmEmp::buildWages()
{
    auto* panel = new QWidget(this);
    panel->setObjectName("pnlWages");
    auto* info = new QGroupBox(" Wage Information ", panel);
    txtWage = new TQVNumberEdit(info);
    txtWage->setObjectName("txtWage");
    txtWage->setMaximum(9999999.99);
    txtWageStartDate = dateField("txtWageStartDate", spdWageStartDate, "spdWageStartDate", info);
    auto* paidPer = new QGroupBox(" Paid Per ", info);
    btnHour = new QRadioButton("Hour", paidPer);
    btnHour->setObjectName("btnHour");
    btnWeek = new QRadioButton("Week", paidPer);
    btnWeek->setObjectName("btnWeek");
    btnMonth = new QRadioButton("Month", paidPer);
    btnMonth->setObjectName("btnMonth");
    btnYear = new QRadioButton("Year", paidPer);
    btnYear->setObjectName("btnYear");
    btnHour->setChecked(true);
    auto* paidLayout = new QHBoxLayout(paidPer);
    for (QRadioButton* b : {btnHour, btnWeek, btnMonth, btnYear})
        paidLayout->addWidget(b);
    chkExempt = new QCheckBox("Exempt from Overtime Policy", info);
    chkExempt->setObjectName("chkExempt");
    cmdAddWage = new QPushButton("&Add", info);
    cmdAddWage->setObjectName("cmdAddWage");
    cmdDeleteWage = new QPushButton("&Delete", info);
    cmdDeleteWage->setObjectName("cmdDeleteWage");
    cmdDeleteWage->setEnabled(false);
    auto* infoLayout = new QGridLayout(info);
    infoLayout->addWidget(fieldLabel("Amount", txtWage, info), 0, 0);
    infoLayout->addWidget(txtWage, 0, 1);
    infoLayout->addWidget(fieldLabel("Start Date", txtWageStartDate, info), 1, 0);
    infoLayout->addLayout(row({txtWageStartDate, spdWageStartDate}), 1, 1);
    infoLayout->addWidget(paidPer, 2, 0, 1, 2);
    infoLayout->addWidget(chkExempt, 3, 0, 1, 2);
    infoLayout->addLayout(row({cmdAddWage, cmdDeleteWage}), 0, 2, 2, 1);

    grdWages = new TQVGrid(panel);
    grdWages->setObjectName("grdWages");
    grdWages->setColumnCount(7);
    grdWages->setColumnWidth(0, 80);
    grdWages->setColumnWidth(1, 50);
    grdWages->setColumnWidth(2, 80);
    grdWages->setColumnWidth(3, 80);
    grdWages->setFixedHeight(110);
    hdrWages = grdWages->makeHeader("hdrWages", {"Amount", "Per", "Start Date", "End Date", "Exempt"}, 6);

    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(info);
    layout->addWidget(new QLabel("Wage History", panel));
    layout->addWidget(gridWithHeader(grdWages, hdrWages, panel));
    layout->addStretch();
    return panel;
}

QWidget* TfrmEmp::buildAccruals()
{
    auto* panel = new QWidget(this);
    panel->setObjectName("pnlAccruals");
    auto* info = new QGroupBox(" Benefit Information ", panel);
    cboBenefits = new TQVComboBox(info);
    cboBenefits->setObjectName("cboBenefits");
    cboBenefits->setMinimumContentsLength(20);
    txtAccruedHours = new TQVNumberEdit(info);
    txtAccruedHours->setObjectName("txtAccruedHours");
    txtAccruedHours->setMaximum(99999);
    txtAsOfDate = dateField("txtAsOfDate", spdAsOfDate, "spdAsOfDate", info);
    cmdAccrualAdd = new QPushButton("&Add", info);
    cmdAccrualAdd->setObjectName("cmdAccrualAdd");
    cmdAccrualDelete = new QPushButton("&Delete", info);
    cmdAccrualDelete->setObjectName("cmdAccrualDelete");
    cmdAccrualDelete->setEnabled(false);
    auto* infoLayout = new QGridLayout(info);
    infoLayout->addWidget(fieldLabel("Select Benefit", cboBenefits, info), 0, 0);
    infoLayout->addWidget(cboBenefits, 0, 1);
    infoLayout->addWidget(fieldLabel("Hours Accrued", txtAccruedHours, info), 1, 0);
    infoLayout->addWidget(txtAccruedHours, 1, 1);
    infoLayout->addWidget(fieldLabel("As Of Date", txtAsOfDate, info), 2, 0);
    infoLayout->addLayout(row({txtAsOfDate, spdAsOfDate}), 2, 1);
    infoLayout->addLayout(row({cmdAccrualAdd, cmdAccrualDelete}), 0, 2, 2, 1);

    grdAccruals = new TQVGrid(panel);
    grdAccruals->setObjectName("grdAccruals");
    grdAccruals->setColumnCount(4);
    grdAccruals->setRightAlignedFrom(1);
    grdAccruals->setColumnWidth(0, 150);
    grdAccruals->setColumnWidth(1, 70);
    grdAccruals->setFixedHeight(110);
    hdrAccruals = grdAccruals->makeHeader("hdrAccruals", {"Benefit", "Hours", "As Of Date"}, 6);

    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(info);
    layout->addWidget(new QLabel("Accrued Benefit hours", panel));
    layout->addWidget(gridWithHeader(grdAccruals, hdrAccruals, panel));
    layout->addStretch();
    return panel;
}

QWidget* TfrmEmp::buildOvertime()
{
    auto* panel = new QWidget(this);
    panel->setObjectName("pnlOvertime");
    auto* info = new QGroupBox(" Overtime Policy ", panel);
    cboOvertime = new TQVComboBox(info);
    cboOvertime->setObjectName("cboOvertime");
    cboOvertime->setMinimumContentsLength(20);
    txtOTStartDate = dateField("txtOTStartDate", spdOTStartDate, "spdOTStartDate", info);
    spdViewPolicy = new QPushButton("&View Policy", info);
    spdViewPolicy->setObjectName("spdViewPolicy");
    cmdOvertimeAdd = new QPushButton("&Add", info);
    cmdOvertimeAdd->setObjectName("cmdOvertimeAdd");
    cmdOvertimeDelete = new QPushButton("&Delete", info);
    cmdOvertimeDelete->setObjectName("cmdOvertimeDelete");
    cmdOvertimeDelete->setEnabled(false);
    auto* infoLayout = new QGridLayout(info);
    infoLayout->addWidget(fieldLabel("Select Policy", cboOvertime, info), 0, 0);
    infoLayout->addLayout(row({cboOvertime, spdViewPolicy}), 0, 1);
    infoLayout->addWidget(fieldLabel("Start Date", txtOTStartDate, info), 1, 0);
    infoLayout->addLayout(row({txtOTStartDate, spdOTStartDate}), 1, 1);
    infoLayout->addLayout(row({cmdOvertimeAdd, cmdOvertimeDelete}), 2, 1);

    grdOvertime = new TQVGrid(panel);
    grdOvertime->setObjectName("grdOvertime");
    grdOvertime->setColumnCount(4);
    grdOvertime->setColumnWidth(0, 150);
    grdOvertime->setColumnWidth(1, 80);
    grdOvertime->setFixedHeight(110);
    hdrOvertime = grdOvertime->makeHeader("hdrOvertime", {"Policy", "Start Date", "End Date"}, 6);

    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(info);
    layout->addWidget(new QLabel("Overtime Policy History", panel));
    layout->addWidget(gridWithHeader(grdOvertime, hdrOvertime, panel));
    layout->addStretch();
    return panel;
}

QWidget* TfrmEmp::buildCustomData()
{
    auto* panel = new QWidget(this);
    panel->setObjectName("pnlCustomData");
    const QFontMetrics metrics(panel->font());
    m_fields = std::make_unique<TEmpFieldListClass>(
        m_dm, [&metrics](const std::string& text) { return metrics.horizontalAdvance(QString::fromStdString(text)); });
    if (m_fields->Count() == 0) {
        lblNoCustomData = new QLabel(QString::fromStdString(kNoCustomData).replace('\r', '\n'), panel);
        lblNoCustomData->setObjectName("lblNoCustomData");
        lblNoCustomData->setWordWrap(true);
        QFont bold = lblNoCustomData->font();
        bold.setBold(true);
        lblNoCustomData->setFont(bold);
        lblNoCustomData->setGeometry(8, 8, 380, 120);
        return panel;
    }
    const int widest = m_fields->WidestLabel();
    for (int n = 0; n < m_fields->Count(); ++n) {
        const TEmpFieldRecClass& field = m_fields->Item(n);
        auto* label = new QLabel(QString::fromStdString(field.FieldDesc()), panel);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(8, 11 + 24 * n, widest, metrics.height());
        auto* input = textField(("txtOther" + std::to_string(n)).c_str(), 30, panel);
        input->setGeometry(widest + 16, 8 + 24 * n, 329 - widest, input->sizeHint().height());
        label->setBuddy(input);
        m_otherFields.push_back(input);
        auto value = std::make_unique<TEmpOtherRecClass>(m_dm);
        value->SetFieldID(field.FieldID());
        m_values->Add(std::move(value));
    }
    panel->setMinimumHeight(8 + 24 * m_fields->Count() + 8);
    return panel;
}

void TfrmEmp::buildNavigationBar()
{
    scrNavigation = new QScrollArea(this);
    scrNavigation->setObjectName("scrNavigation");
    scrNavigation->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrNavigation->setFixedWidth(ScaleToScreen(96));
    m_navigationPage = new QWidget;
    m_navigationPage->setAutoFillBackground(true);
    const QPalette& system = palette();
    // Where the caption colours cannot be told from the button face, the bar
    // is dark grey so that the white captions stay readable.
    QPalette bar = m_navigationPage->palette();
    const QColor inactiveCaption = system.color(QPalette::Inactive, QPalette::Highlight);
    bar.setColor(QPalette::Window,
                 inactiveCaption == system.color(QPalette::Button) ? QColor(Qt::darkGray) : inactiveCaption);
    m_navigationPage->setPalette(bar);
    QPalette header = pnlHeader->palette();
    header.setColor(QPalette::Window, system.color(QPalette::Active, QPalette::Highlight));
    header.setColor(QPalette::WindowText, system.color(QPalette::Active, QPalette::HighlightedText));
    pnlHeader->setPalette(header);
    lblSelection->setPalette(header);

    QPalette caption;
    caption.setColor(QPalette::WindowText, system.color(QPalette::Button) == QColor(Qt::white)
                                               ? QColor(Qt::black)
                                               : system.color(QPalette::HighlightedText));
    QFont captionFont("MS Sans Serif");
    for (int s = 0; s < kOfferedSections; ++s) {
        auto* button = new QToolButton(m_navigationPage);
        button->setObjectName(kSections[s].buttonName);
        button->setIcon(style()->standardIcon(kSections[s].picture));
        button->setIconSize(QSize(32, 32));
        button->setFixedSize(40, 40);
        button->setAutoRaise(true);
        button->setToolTip(kSections[s].caption);
        auto* label = new QLabel(kSections[s].caption, m_navigationPage);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setFont(captionFont);
        label->setPalette(caption);
        m_navButtons[std::size_t(s)] = button;
        m_navLabels[std::size_t(s)] = label;
        const auto section = Section(s);
        connect(button, &QToolButton::clicked, this, [this, section] { ShowSection(section); });
    }
    scrNavigation->setWidget(m_navigationPage);
    layoutNavigationBar();
}

void TfrmEmp::layoutNavigationBar()
{
    if (!scrNavigation)
        return;
    const int usable =
        scrNavigation->width() - 2 * scrNavigation->frameWidth() - style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    int top = 5;
    for (int s = 0; s < kOfferedSections; ++s) {
        QToolButton* button = m_navButtons[std::size_t(s)];
        QLabel* label = m_navLabels[std::size_t(s)];
        button->move((usable - button->width()) / 2, top);
        const int textWidth = label->fontMetrics().horizontalAdvance(label->text());
        const bool wrap = textWidth > usable - ScaleToScreen(16);
        label->setWordWrap(wrap);
        int height = wrap ? 2 * label->fontMetrics().height() : label->fontMetrics().height();
        if (s == Accruals)
            height += ScaleToScreen(6);
        label->setGeometry(0, top + 40, usable, height);
        top += height + 57;
    }
    m_navigationPage->resize(usable, top);
}

void TfrmEmp::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layoutNavigationBar();
}

void TfrmEmp::connectFields()
{
    for (QLineEdit* field : {txtFirstName, txtLastName, txtEmpCode, txtPosition, txtStreet1, txtStreet2, txtCity,
                             txtState, txtZip, txtHomePhone, txtContact, txtDayPhone, txtNightPhone, txtRelationship}) {
        connect(field, &QLineEdit::textEdited, this, [this] { fieldChanged(); });
        field->installEventFilter(this);
    }
    for (QLineEdit* field : m_otherFields) {
        connect(field, &QLineEdit::textEdited, this, [this] { fieldChanged(); });
        field->installEventFilter(this);
    }
    txtComments->installEventFilter(this);
    connect(txtComments, &QTextEdit::textChanged, this, [this] { fieldChanged(); });
    for (TQVDateEdit* field : {txtStartDate, txtEndDate}) {
        connect(field, &QLineEdit::textEdited, this, [this] { fieldChanged(); });
        connect(field, &TQVDateEdit::exitBox, this, [this, field] { storeField(field); });
    }
    for (QCheckBox* box : {chkManager, chkBenefits, chkActive})
        connect(box, &QCheckBox::clicked, this, [this, box] {
            storeField(box);
            valueStored();
        });

    setPicker(cboEmps, nullptr);
    connect(cboEmpType, &TQVComboBox::itemClicked, this, [this](int) { cboEmpTypeChange(); });
    connect(cboDepts, &TQVComboBox::itemClicked, this, [this](int) { cboDeptsClick(); });
    connect(cboDepts, &TQVComboBox::dropDown, this, &TfrmEmp::cboDeptsDropDown);

    connect(cmdAddWage, &QPushButton::clicked, this, &TfrmEmp::cmdAddWageClick);
    connect(cmdDeleteWage, &QPushButton::clicked, this, &TfrmEmp::cmdDeleteWageClick);
    connect(grdWages, &QTableWidget::cellDoubleClicked, this, [this](int r, int) { grdWagesDblClick(r); });
    connect(cmdAccrualAdd, &QPushButton::clicked, this, &TfrmEmp::cmdAccrualAddClick);
    connect(cmdAccrualDelete, &QPushButton::clicked, this, &TfrmEmp::cmdAccrualDeleteClick);
    connect(cboBenefits, &TQVComboBox::itemClicked, this, [this](int) { cboBenefitsClick(); });
    connect(grdAccruals, &QTableWidget::cellDoubleClicked, this, [this](int r, int) { grdAccrualsDblClick(r); });
    connect(cmdOvertimeAdd, &QPushButton::clicked, this, &TfrmEmp::cmdOvertimeAddClick);
    connect(cmdOvertimeDelete, &QPushButton::clicked, this, &TfrmEmp::cmdOvertimeDeleteClick);
    connect(cboOvertime, &TQVComboBox::itemClicked, this, [this](int) { cboOvertimeClick(); });
    connect(cboOvertime, &TQVComboBox::dropDown, this, [this] { refillPolicies(cboOvertime->SelectedID()); });
    connect(grdOvertime, &QTableWidget::cellDoubleClicked, this, [this](int r, int) { grdOvertimeDblClick(r); });
    connect(spdViewPolicy, &QPushButton::clicked, this, &TfrmEmp::spdViewPolicyClick);
}

bool TfrmEmp::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut)
        storeField(watched);
    return QDialog::eventFilter(watched, event);
}

} // namespace hv
