#include <gtest/gtest.h>

#include <QApplication>
#include <QStyle>

#include "platform/windows/ScrollWidth.h"

namespace hv {
namespace {

TEST(ScrollWidth, WithoutAnApplicationGivesACommonWidth)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_EQ(ScrollWidth(), 16);
}

TEST(ScrollWidth, IsTheStylesScrollBarExtent)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "test_platform";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    const int width = ScrollWidth();
    EXPECT_GT(width, 0);
    EXPECT_LT(width, 100);
    EXPECT_EQ(width, QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

} // namespace
} // namespace hv
