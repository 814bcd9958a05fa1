// The picture button: its edge follows the mouse, a click is a press and a
// release on it.
#include "widgets/TFlatImage.h"

#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

namespace hv::test {
namespace {

TEST(FlatImageTest, EdgeRaisedUnderTheMouseSunkenWhilePressed)
{
    TFlatImage image;
    EXPECT_EQ(image.size(), QSize(105, 105));
    QSignalSpy clicks(&image, &TFlatImage::clicked);
    EXPECT_EQ(image.edge(), TFlatImage::Edge::None);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&image, &enter);
    EXPECT_EQ(image.edge(), TFlatImage::Edge::Raised);
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(image.edge(), TFlatImage::Edge::Sunken);
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(image.edge(), TFlatImage::Edge::Raised);
    EXPECT_EQ(clicks.count(), 1);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&image, &leave);
    EXPECT_EQ(image.edge(), TFlatImage::Edge::None);
}

} // namespace
} // namespace hv::test
