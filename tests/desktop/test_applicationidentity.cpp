// The application's identity: the names that desktops group its window by,
// and a window icon that stays sharp at every size a platform asks for, at
// device pixel ratios 1 and 2.
#include "app/applicationidentity.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

class ApplicationIdentity : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test_applicationidentity";
        static char *argv[] = {name, nullptr};
        if (!qApp)
            new QGuiApplication(argc, argv);
        quill::setApplicationIdentity();
    }
};

TEST_F(ApplicationIdentity, NamesMatchTheDesktopEntry)
{
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("QuillIDE"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("QuillIDE"));
    EXPECT_EQ(QCoreApplication::applicationVersion(), QStringLiteral(QUILL_VERSION));
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral(QUILL_APP_ID));
    EXPECT_EQ(quill::applicationId(), QStringLiteral(QUILL_APP_ID));
}

TEST_F(ApplicationIdentity, TheWindowIconIsTheDrawingInWholePixelsAtRatios1And2)
{
    const QIcon icon = QGuiApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage drawing = icon.pixmap(QSize(16, 16), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(drawing.size(), QSize(16, 16));

    // The sizes X11 and Wayland ask a window for, times the device pixel ratio.
    for (qreal ratio : {1.0, 2.0}) {
        for (int size : {16, 32, 48, 64}) {
            const QImage image = icon.pixmap(QSize(size, size), ratio).toImage().convertToFormat(QImage::Format_ARGB32);
            const int device = int(size * ratio);
            ASSERT_EQ(image.size(), QSize(device, device)) << size << " at " << ratio;
            const int scale = device / 16;
            int blurred = 0;
            for (int y = 0; y < device; ++y)
                for (int x = 0; x < device; ++x)
                    blurred += image.pixel(x, y) != drawing.pixel(x / scale, y / scale);
            EXPECT_EQ(blurred, 0) << size << " at ratio " << ratio;
        }
    }
}

} // namespace
