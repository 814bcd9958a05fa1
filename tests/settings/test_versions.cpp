// The version text rules and the splash and about windows that show them.
#include "settings/VersionText.h"
#include "settings/windows/About.h"
#include "settings/windows/Splash.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <map>

namespace hv::test {
namespace {

VersionLookup versionInfo(std::string fileVersion)
{
    std::map<std::string, std::string> fields = {
        {"ProductName", "Hourvane 3"},
        {"FileVersion", fileVersion},
        {"LegalCopyright", "Copyright (C) The Hourvane authors"},
        {"Comments", "Time cards for small organisations"},
    };
    return [fields](const std::string& field) {
        auto it = fields.find(field);
        return it == fields.end() ? std::string("Error Retrieving Version Info") : it->second;
    };
}

QString labelText(QWidget& window, const char* name)
{
    auto* label = window.findChild<QLabel*>(name);
    EXPECT_NE(label, nullptr) << name;
    return label ? label->text() : QString();
}

TEST(VersionTextRules, ReleaseIsShownOnlyAboveZeroAndTheBuildOnRequest)
{
    EXPECT_EQ(VersionText("3.2.1.207", false), "Version 3.2.1");
    EXPECT_EQ(VersionText("3.2.1.207", true), "Version 3.2.1   Build 207");
    EXPECT_EQ(VersionText("3.2.0.207", false), "Version 3.2");
    EXPECT_EQ(VersionText("3.2.0.207", true), "Version 3.2   Build 207");
    EXPECT_EQ(VersionText("3.0.12.1", false), "Version 3.0.12");
}

TEST(SplashWindow, ShowsProductVersionWithoutBuildAndEditionFramelessOnTop)
{
    TfrmSplash splash(versionInfo("3.2.1.207"));
    splash.show();
    EXPECT_EQ(labelText(splash, "lblProductName"), "Hourvane 3");
    EXPECT_EQ(labelText(splash, "lblVersion"), "Version 3.2.1");
    EXPECT_EQ(labelText(splash, "lblCopyright"), "Copyright (C) The Hourvane authors");
    EXPECT_EQ(labelText(splash, "lblEdition"), "Hourvane Standard");
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    for (const char* icon : {"imgIcon1", "imgIcon2", "imgIcon3"})
        EXPECT_NE(splash.findChild<QLabel*>(icon), nullptr) << icon;
}

TEST(SplashWindow, BuildSwitchAppendsTheBuildWhenShown)
{
    TfrmSplash splash(versionInfo("3.2.0.207"));
    splash.setShowBuild(true);
    splash.show();
    EXPECT_EQ(labelText(splash, "lblVersion"), "Version 3.2   Build 207");
}

TEST(AboutWindow, AsTheMainWindowOpensItBuildOnCommentsOff)
{
    const ScaleFunction doubled = [](int length) { return length * 2; };
    TAboutBox about(versionInfo("3.2.1.207"), nullptr, doubled);
    EXPECT_EQ(about.windowTitle(), "About Hourvane 3");
    auto* ok = about.findChild<QPushButton*>("cmdOK");
    ASSERT_NE(ok, nullptr);
    const int okTop = ok->y();
    const int height = about.height();

    about.setShowBuild(true);
    about.setShowComments(false);
    about.show();

    EXPECT_EQ(labelText(about, "lblProductName"), "Hourvane 3");
    EXPECT_EQ(labelText(about, "lblVersion"), "Version 3.2.1   Build 207");
    EXPECT_EQ(labelText(about, "lblCopyright"), "Copyright (C) The Hourvane authors");
    EXPECT_EQ(labelText(about, "lblEdition"), "Hourvane Standard");
    EXPECT_FALSE(about.findChild<QLabel*>("lblComments")->isVisible());
    EXPECT_EQ(ok->y(), okTop - 80) << "40 design pixels, scaled";
    EXPECT_EQ(about.height(), height - 80);
}

TEST(AboutWindow, WithCommentsOnShowsThemAndNoBuildByDefault)
{
    TAboutBox about(versionInfo("3.2.0.207"), nullptr, [](int length) { return length; });
    auto* ok = about.findChild<QPushButton*>("cmdOK");
    const int okTop = ok->y();
    about.show();
    EXPECT_EQ(labelText(about, "lblVersion"), "Version 3.2");
    EXPECT_TRUE(about.findChild<QLabel*>("lblComments")->isVisible());
    EXPECT_EQ(labelText(about, "lblComments"), "Time cards for small organisations");
    // Switching the comments off and on again puts everything back.
    about.setShowComments(false);
    about.setShowComments(true);
    EXPECT_EQ(ok->y(), okTop);
    EXPECT_TRUE(about.findChild<QLabel*>("lblComments")->isVisible());
}

} // namespace
} // namespace hv::test
