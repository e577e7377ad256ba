// The Code page built alone, with fakes for what it crosses into: the pick
// list, the keyword list and the sprite size, the one-line fields, the run
// view, Run, the keyboard toggle and the journal.
#include "app/codepage.h"

#include "base/messagesink.h"
#include "base/settingsstore.h"
#include "base/textfile.h"
#include "base/settingstable.h"
#include "app/handlerboundary.h"
#include "editor/codebuffer.h"
#include "editor/codeview.h"
#include "editor/keybutton.h"
#include "editor/keycaptions.h"

#include "tests/support/application.h"
#include "tests/support/recordingsink.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace quill {
namespace {

using testsupport::RecordingSink;

// What the page asked of the window.
struct Crossed {
    PickMode offeredMode = PickMode::None;
    QStringList offered;
    QStringList keywords = {"setcam(", "sett(", "sin("};
    int spriteSize = 16;
    bool fieldTakesKeys = false;
    QStringList typedIntoField;
    bool overlayShowing = false;
    int runs = 0;
    int keyboardToggles = 0;
    int codeSaves = 0;
};

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

class CodePageAlone : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testsupport::ensureApplication(); }

    void SetUp() override
    {
        ASSERT_TRUE(workspace.isValid());
        paths = WorkspacePaths::fromBaseDir(workspace.path() + "/");
        for (const QString &dir : {paths.codeDir, paths.templateDir, paths.imageDir, paths.audioDir})
            QDir().mkpath(dir);
        applyDefaultSettings(settings, QString(), DesignClientWidth);
        CodePageCrossings crossings{
            .offerChoices =
                [this](PickMode mode, const QStringList &items) {
                    crossed.offeredMode = mode;
                    crossed.offered = items;
                },
            .keywords = [this] { return crossed.keywords; },
            .spriteSize = [this] { return crossed.spriteSize; },
            .typeIntoField =
                [this](const QString &caption) {
                    if (crossed.fieldTakesKeys)
                        crossed.typedIntoField << caption;
                    return crossed.fieldTakesKeys;
                },
            .overlayShowing = [this] { return crossed.overlayShowing; },
            .run = [this] { ++crossed.runs; },
            .toggleKeyboard = [this] { ++crossed.keyboardToggles; },
            .codeSaved = [this] { ++crossed.codeSaves; },
        };
        page = std::make_unique<CodePage>(program, settings, paths, crossings, handlers);
        LayoutInput input;
        input.clientWidth = DesignClientWidth;
        input.clientHeight = DesignClientHeight;
        input.keyCaptions = KeyCaptions(settings).captionKeys(1, false);
        page->resize(DesignClientWidth, DesignClientHeight - TabStripHeight);
        page->layoutPage(computeLayout(input), input.keyCaptions);
        page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
    }

    template <typename T = QWidget> T *control(const char *name) const
    {
        T *found = page->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    KeyButton *key(const QString &caption) const
    {
        for (KeyButton *button : page->keyButtons())
            if (button->caption() == caption && button->isVisible())
                return button;
        ADD_FAILURE() << "no key " << caption.toStdString();
        return page->keyButtons()[0];
    }

    QTemporaryDir workspace;
    WorkspacePaths paths;
    SettingsStore settings;
    CodeBuffer program;
    RecordingSink sink;
    Handlers handlers{sink};
    Crossed crossed;
    std::unique_ptr<CodePage> page;
};

TEST_F(CodePageAlone, AKeyTypesIntoTheCodeUnlessAFieldHasTheKeys)
{
    program.loadLines({"ab"});
    program.setCursor(0, 2);
    key("c")->click();
    EXPECT_EQ(program.line(0), "abc");

    crossed.fieldTakesKeys = true;
    key("d")->click();
    key("Rt")->click();
    EXPECT_EQ(program.lines(), QStringList({"abc"})) << "the field took the keys";
    EXPECT_EQ(crossed.typedIntoField, QStringList({"d", "Rt"}));
    EXPECT_TRUE(sink.messages.isEmpty());
}

// Ky and Sp take the keywords and the sprite size from the window, and offer
// their choices in the window's pick list; the choice comes back through choose.
TEST_F(CodePageAlone, ChoicesUseTheKeywordsAndSpriteSizeTheWindowGives)
{
    program.loadLines({"s"});
    program.setCursor(0, 1);
    page->RunKeyCommand("Ky");
    EXPECT_EQ(crossed.offeredMode, PickMode::Keywords);
    EXPECT_EQ(crossed.offered, crossed.keywords);
    page->choose(PickMode::Keywords, 1, "sett(");
    EXPECT_EQ(program.line(0), "sett(");

    ASSERT_TRUE(QImage(72, 18, QImage::Format_ARGB32).save(paths.imageDir + "eight.png"));
    crossed.spriteSize = 8;
    page->RunKeyCommand("Sp");
    EXPECT_EQ(crossed.offeredMode, PickMode::SpriteImages);
    EXPECT_EQ(crossed.offered, QStringList({"eight.png"}));
    page->choose(PickMode::SpriteImages, 0, "eight.png");
    EXPECT_EQ(program.line(1), "sprite(,\"eight\",4,16,16,1);");
}

TEST_F(CodePageAlone, RunTheKeyboardToggleAndSaveCrossToTheWindow)
{
    control<QPushButton>("btRun")->click();
    EXPECT_EQ(crossed.runs, 1);
    control<QPushButton>("btKeys")->click();
    EXPECT_EQ(crossed.keyboardToggles, 1);

    control<QLineEdit>("edtFile")->setText("mine");
    EXPECT_EQ(program.identity().name, "mine");
    control<QPushButton>("btTextSave")->click();
    EXPECT_EQ(sink.messages, QStringList({"Saved."}));
    EXPECT_EQ(crossed.codeSaves, 1);
    EXPECT_EQ(readTextFile(paths.codeDir + "mine").lines, program.lines());

    sink.messages.clear();
    control<QLineEdit>("edtFile")->setText("");
    control<QPushButton>("btTextSave")->click();
    EXPECT_EQ(sink.messages, QStringList({"Input file name."}));
    EXPECT_EQ(crossed.codeSaves, 1) << "nothing was saved";
}

// Nothing of the page asks the view to repaint: a change of the code or of
// the cursor, made on the model alone, repaints it.
TEST_F(CodePageAlone, TheCodeViewRepaintsOnTheModelsSignalsAlone)
{
    PaintCounter counter;
    page->codeView()->installEventFilter(&counter);
    QApplication::processEvents();
    struct Case {
        const char *label;
        std::function<void()> change;
    };
    const std::vector<Case> cases = {
        {"an edit", [&] { program.insertText(0, 0, "x"); }},
        {"a cursor move", [&] { program.setCursor(3, 0); }},
        {"a scroll", [&] { program.setScroll(2, 0); }},
        {"a selection", [&] { program.setSelectionActive(true); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const int before = counter.paints;
        c.change();
        QApplication::processEvents();
        EXPECT_GT(counter.paints, before);
    }
}

TEST_F(CodePageAlone, HardwareKeysReachTheCodeOnlyWithNothingOverIt)
{
    program.loadLines({""});
    crossed.overlayShowing = true;
    page->keyDown(Qt::Key_Q, "q", Qt::NoModifier, false, 1);
    EXPECT_EQ(program.line(0), "") << "the run view lies over the page";
    crossed.overlayShowing = false;
    page->keyDown(Qt::Key_Q, "q", Qt::NoModifier, false, 2);
    EXPECT_EQ(program.line(0), "q");
}

} // namespace
} // namespace quill
