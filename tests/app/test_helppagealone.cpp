// The Help page built alone: the text it is given, in a column that keeps
// to the margins the layout pass gives it.
#include "app/helppage.h"

#include "tests/support/application.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>

namespace quill {
namespace {

TEST(HelpPageAlone, ShowsItsTextReadOnlyInTheColumnTheLayoutGives)
{
    testsupport::ensureApplication();
    HelpPage page;
    page.showHelp("[CODE]\nThis page is for writing JavaScript code.");
    QPlainTextEdit *memo = page.memo();
    EXPECT_EQ(memo->objectName(), "Memo1");
    EXPECT_EQ(memo->toPlainText(), "[CODE]\nThis page is for writing JavaScript code.");
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->font().pixelSize(), HelpPage::HelpPixelSize);

    struct Case {
        const char *name;
        int width;
        int height;
        bool margins;
    };
    for (const Case &c : {Case{"portrait", DesignClientWidth, DesignClientHeight, false},
                          Case{"landscape", 1920, 1080, true}}) {
        SCOPED_TRACE(c.name);
        LayoutInput input;
        input.clientWidth = c.width;
        input.clientHeight = c.height;
        input.landscapeLayout = true;
        const LayoutResult layout = computeLayout(input);
        page.resize(layout.pageWidth, layout.pageHeight);
        page.layoutPage(layout);
        EXPECT_EQ(memo->geometry(), QRect(0, 0, layout.pageWidth, layout.pageHeight));
        EXPECT_EQ(layout.helpMargin > 0, c.margins);
        EXPECT_EQ(memo->viewport()->geometry().left() - memo->frameWidth(), layout.helpMargin);
    }
}

} // namespace
} // namespace quill
