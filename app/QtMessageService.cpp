#include "app/QtMessageService.h"

#include "storage/AppState.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>

namespace hv {
namespace {

QMessageBox::Icon iconFor(MsgKind kind)
{
    switch (kind) {
    case MsgKind::Warning: return QMessageBox::Warning;
    case MsgKind::Error: return QMessageBox::Critical;
    case MsgKind::Information: return QMessageBox::Information;
    case MsgKind::Confirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsFor(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok: return QMessageBox::Ok;
    case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::Abort: return QMessageBox::Abort;
    }
    return QMessageBox::Ok;
}

MsgResult resultFor(QMessageBox::StandardButton pressed, MsgButtons buttons)
{
    switch (pressed) {
    case QMessageBox::Ok: return MsgResult::Ok;
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    case QMessageBox::Abort: return MsgResult::Abort;
    default: break;
    }
    // Closed without a button (the window's close box): the safe answer of the set.
    switch (buttons) {
    case MsgButtons::Ok: return MsgResult::Ok;
    case MsgButtons::YesNo: return MsgResult::No;
    case MsgButtons::YesNoCancel: return MsgResult::Cancel;
    case MsgButtons::Abort: return MsgResult::Abort;
    }
    return MsgResult::Ok;
}

} // namespace

std::unique_ptr<QMessageBox> QtMessageService::build(const std::string& text, MsgKind kind,
                                                     MsgButtons buttons, int helpContext,
                                                     QWidget* owner) const
{
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    auto box = std::make_unique<QMessageBox>(owner);
    box->setWindowTitle(QString::fromStdString(appState().applicationTitle));
    box->setIcon(iconFor(kind));
    // Texts carry names and file paths typed by users: never read them as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(shown);
    box->setStandardButtons(buttonsFor(buttons));
    box->setWindowModality(Qt::ApplicationModal);

    if (helpContext > 0) {
        QPushButton* help = box->addButton(QMessageBox::Help);
        help->setProperty("helpContext", helpContext);
        // A Help button would end the box like any other; help opens beside it instead.
        if (auto* buttonBox = box->findChild<QDialogButtonBox*>())
            QObject::disconnect(help, &QAbstractButton::clicked, buttonBox, nullptr);
        HelpHandler handler = m_help;
        QObject::connect(help, &QAbstractButton::clicked, box.get(), [handler, helpContext] {
            if (handler)
                handler(helpContext);
        });
    }
    return box;
}

MsgResult QtMessageService::show(const std::string& text, MsgKind kind, MsgButtons buttons,
                                 int helpContext)
{
    auto box = build(text, kind, buttons, helpContext, QApplication::activeWindow());
    box->exec();
    QAbstractButton* clicked = box->clickedButton();
    const auto pressed = clicked ? box->standardButton(clicked) : QMessageBox::NoButton;
    return resultFor(pressed, buttons);
}

} // namespace hv
