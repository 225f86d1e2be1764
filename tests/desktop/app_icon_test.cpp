// The embedded icon: every size is there at its size, and the window icon is built from them.
#include <gtest/gtest.h>

#include <QFile>
#include <QIcon>
#include <QImage>

#include "desktop/app_icon.h"

TEST(AppIcon, EverySizeIsEmbeddedAndInTheWindowIcon) {
    const QIcon icon = QuendraIcon();   // registers the resources
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage image(QStringLiteral(":/icons/quendra-%1.png").arg(size));
        EXPECT_EQ(image.size(), QSize(size, size));
        EXPECT_TRUE(sizes.contains(QSize(size, size)));
        // The corner lies outside the rounded square; the centre of the ring is its ground.
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255);
    }
    EXPECT_EQ(icon.pixmap(QSize(48, 48)).size(), QSize(48, 48));

    QFile svg(QStringLiteral(":/icons/quendra.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("<svg"));
}
