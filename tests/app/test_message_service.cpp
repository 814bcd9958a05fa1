#include "app/QtMessageService.h"
#include "storage/AppState.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace hv {
namespace {

using Box = std::unique_ptr<QMessageBox>;

// The message box that show() has put up, or null.
QMessageBox* openBox()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

// Acts on the box once show() has put it up (the event loop of exec runs it).
void whenShown(std::function<void(QMessageBox*)> act)
{
    QTimer::singleShot(0, [act] {
        if (QMessageBox* box = openBox())
            act(box);
        else
            whenShown(act);
    });
}

TEST(QtMessageService, CaptionIsTheApplicationTitle)
{
    QtMessageService service;
    Box box = service.build("Saved.", MsgKind::Information, MsgButtons::Ok, 0, nullptr);
    EXPECT_EQ(box->windowTitle(), "Hourvane Standard");
    EXPECT_EQ(box->text(), "Saved.");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
}

TEST(QtMessageService, KindsAreIcons)
{
    QtMessageService service;
    EXPECT_EQ(service.build("t", MsgKind::Warning, MsgButtons::Ok, 0, nullptr)->icon(),
              QMessageBox::Warning);
    EXPECT_EQ(service.build("t", MsgKind::Error, MsgButtons::Ok, 0, nullptr)->icon(),
              QMessageBox::Critical);
    EXPECT_EQ(service.build("t", MsgKind::Information, MsgButtons::Ok, 0, nullptr)->icon(),
              QMessageBox::Information);
    EXPECT_EQ(service.build("t", MsgKind::Confirmation, MsgButtons::Ok, 0, nullptr)->icon(),
              QMessageBox::Question);
}

TEST(QtMessageService, ButtonSets)
{
    QtMessageService service;
    auto buttons = [&](MsgButtons set) {
        return service.build("t", MsgKind::Confirmation, set, 0, nullptr)->standardButtons();
    };
    EXPECT_EQ(buttons(MsgButtons::Ok), QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(buttons(MsgButtons::YesNo), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(buttons(MsgButtons::YesNoCancel),
              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(buttons(MsgButtons::Abort), QMessageBox::StandardButtons(QMessageBox::Abort));
}

TEST(QtMessageService, HelpButtonOnlyWithAHelpContext)
{
    QtMessageService service;
    Box plain = service.build("t", MsgKind::Warning, MsgButtons::YesNo, 0, nullptr);
    EXPECT_EQ(plain->button(QMessageBox::Help), nullptr);
    Box withHelp = service.build("t", MsgKind::Warning, MsgButtons::YesNo, 8100, nullptr);
    ASSERT_NE(withHelp->button(QMessageBox::Help), nullptr);
    EXPECT_EQ(withHelp->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Help);
}

TEST(QtMessageService, CarriageReturnIsALineBreak)
{
    QtMessageService service;
    Box box = service.build("First line\r\rSecond <b>line</b>", MsgKind::Error, MsgButtons::Ok, 0,
                            nullptr);
    EXPECT_EQ(box->text(), "First line\n\nSecond <b>line</b>");
}

TEST(QtMessageService, ShowReturnsTheButtonPressed)
{
    QtMessageService service;
    const std::pair<QMessageBox::StandardButton, MsgResult> cases[] = {
        {QMessageBox::Yes, MsgResult::Yes},
        {QMessageBox::No, MsgResult::No},
        {QMessageBox::Cancel, MsgResult::Cancel},
    };
    for (const auto& [button, expected] : cases) {
        whenShown([button = button](QMessageBox* box) { box->button(button)->click(); });
        EXPECT_EQ(service.show("Save?", MsgKind::Confirmation, MsgButtons::YesNoCancel, 0),
                  expected);
    }
    whenShown([](QMessageBox* box) { box->button(QMessageBox::Abort)->click(); });
    EXPECT_EQ(service.show("Broken", MsgKind::Error, MsgButtons::Abort, 0), MsgResult::Abort);
    whenShown([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
    EXPECT_EQ(service.show("Done", MsgKind::Information, MsgButtons::Ok, 0), MsgResult::Ok);
}

TEST(QtMessageService, ShownBoxBelongsToTheActiveWindow)
{
    QWidget owner;
    owner.resize(300, 200);
    owner.show();
    QApplication::setActiveWindow(&owner);
    ASSERT_EQ(QApplication::activeWindow(), &owner);

    QtMessageService service;
    QWidget* parent = nullptr;
    QString caption;
    whenShown([&](QMessageBox* box) {
        parent = box->parentWidget();
        caption = box->windowTitle();
        box->button(QMessageBox::Ok)->click();
    });
    service.show("Hello", MsgKind::Information, MsgButtons::Ok, 0);
    EXPECT_EQ(parent, &owner);
    EXPECT_EQ(caption, "Hourvane Standard");
}

TEST(QtMessageService, HelpOpensTheContextAndKeepsTheBoxOpen)
{
    std::vector<int> contexts;
    QtMessageService service([&](int context) { contexts.push_back(context); });
    bool stillOpen = false;
    whenShown([&](QMessageBox* box) {
        box->button(QMessageBox::Help)->click();
        QTimer::singleShot(0, [&, box] {
            stillOpen = box->isVisible();
            box->button(QMessageBox::No)->click();
        });
    });
    EXPECT_EQ(service.show("Locked by another user.", MsgKind::Warning, MsgButtons::YesNo,
                           kLockHelpContext),
              MsgResult::No);
    EXPECT_EQ(contexts, std::vector<int>{8100});
    EXPECT_TRUE(stillOpen);
}

} // namespace
} // namespace hv
