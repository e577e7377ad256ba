// The System page in the window: the fields at start-up, Apply, Default,
// Website and Quit, driven through the page's own buttons.
#include "app/ammain.h"
#include "app/codepage.h"

#include "base/textfile.h"
#include "base/workspace.h"
#include "sprite/spriteeditor.h"

#include "tests/app/windowtest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

namespace {

class RecordingSink : public quill::MessageSink {
public:
    void showMessage(const QString &text) override { messages << text; }
    QStringList messages;
};

// Stands in for the desktop: records what the program asks it to open.
class DesktopRecorder : public QObject {
    Q_OBJECT

public:
    DesktopRecorder()
    {
        for (const char *scheme : {"file", "http", "https"})
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~DesktopRecorder() override
    {
        for (const char *scheme : {"file", "http", "https"})
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class SystemPageTest : public quill::testsupport::WindowTest {
protected:
    SystemPageTest()
    {
        useFreshWorkspace();
        window = std::make_unique<TfrmMain>(&sink);
        window->show();
    }

    template <typename T = QLineEdit> T *control(const char *name) const
    {
        return controlNamed<T>(window.get(), name);
    }
    void type(const char *field, const QString &text) { control(field)->setText(text); }
    void press(const char *button) { control<QPushButton>(button)->click(); }
    QString setting(const QString &key) const { return window->settings().value(key); }
    static void tapAt(QWidget *target, QPointF where)
    {
        QMouseEvent down(QEvent::MouseButtonPress, where, target->mapToGlobal(where), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &down);
        QMouseEvent up(QEvent::MouseButtonRelease, where, target->mapToGlobal(where), Qt::LeftButton,
                       Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &up);
    }

    RecordingSink sink;
    std::unique_ptr<TfrmMain> window;
};

TEST_F(SystemPageTest, StartUpCopiesTheSettingsIntoTheFields)
{
    EXPECT_EQ(control("edtWidth")->text(), setting("width"));
    EXPECT_EQ(control("edtKeyHeight")->text(), setting("keyheight"));
    EXPECT_EQ(control("edtCommand")->text(), setting("command"));
    EXPECT_EQ(control("edtSpriteSize")->text(), "16");
    EXPECT_EQ(control("edtOpenmsxdir")->text(), setting("exportdir"));
    EXPECT_FALSE(control<QCheckBox>("chkGfx9000")->isChecked());
    EXPECT_TRUE(sink.messages.isEmpty()) << sink.messages.join('|').toStdString();
}

TEST_F(SystemPageTest, ApplyStoresTheFieldsLaysOutAgainAndSaysDone)
{
    const int keyHeightBefore = window->layout().keyHeight;
    type("edtWidth", "040");
    type("edtKeyHeight", "50");
    type("edtSpriteSize", "24");
    type("edtOpenmsxdir", home.path() + "/out");
    press("btApply");

    EXPECT_EQ(sink.messages, QStringList({"Done."}));
    EXPECT_EQ(setting("width"), "40");
    EXPECT_EQ(setting("keyheight"), "50");
    EXPECT_EQ(setting("sprite"), "24");
    EXPECT_EQ(setting("exportdir"), home.path() + "/out");
    EXPECT_EQ(setting("web"), "0");
    EXPECT_EQ(window->spriteSize(), 24);
    EXPECT_EQ(window->spriteEditor().document().spriteSize(), 24);
    EXPECT_NE(window->layout().keyHeight, keyHeightBefore);
    EXPECT_EQ(window->layout().keyHeight, 50);
    EXPECT_EQ(control("edtWidth")->text(), "040");  // until the next LoadSystemPage
}

TEST_F(SystemPageTest, ABadFieldSaysErrorAndLeavesTheLayoutAlone)
{
    const quill::LayoutResult before = window->layout();
    type("edtWidth", "20");
    type("edtKeyHeight", "55");
    type("edtSpriteSize", "x");
    press("btApply");

    EXPECT_EQ(sink.messages, QStringList({"Error."}));
    EXPECT_EQ(setting("width"), "20");
    EXPECT_EQ(setting("keyheight"), "55");
    EXPECT_EQ(setting("sprite"), "16");
    EXPECT_EQ(window->spriteSize(), 16);
    EXPECT_EQ(window->layout().keyHeight, before.keyHeight);

    sink.messages.clear();
    type("edtSpriteSize", "16");
    type("edtKeyHeight", "100000");
    press("btApply");
    EXPECT_EQ(sink.messages, QStringList({"Error."}));
    EXPECT_EQ(setting("keyheight"), "55");
}

TEST_F(SystemPageTest, AnEmptyButtonsHeightIsAnErrorAndTheLayoutGoesOn)
{
    type("edtCommand", "");
    press("btApply");
    EXPECT_EQ(sink.messages, QStringList({"Error."}));
    EXPECT_EQ(setting("command"), "26");

    // Every later layout pass still works, without a message.
    sink.messages.clear();
    window->resize(window->width() + 40, window->height() + 40);
    QApplication::processEvents();
    window->resize(window->width() - 20, window->height());
    QApplication::processEvents();
    EXPECT_TRUE(sink.messages.isEmpty()) << sink.messages.join('|').toStdString();
    EXPECT_EQ(window->layout().toolButtonHeight, 26);
}

TEST_F(SystemPageTest, ASpriteSizeChangeKeepsThePenColour)
{
    auto *colours = control<QWidget>("pntColor");
    const int swatch = window->layout().swatchSize;
    tapAt(colours, QPointF(swatch * 9.5, swatch / 2.0));
    ASSERT_EQ(window->spriteEditor().SelectedColor(), 9);
    type("edtSpriteSize", "24");
    press("btApply");
    EXPECT_EQ(window->spriteSize(), 24);
    EXPECT_EQ(window->spriteEditor().SelectedColor(), 9);
}

TEST_F(SystemPageTest, AnEmptyExportFolderExportsIntoTheDocumentsFolder)
{
    type("edtOpenmsxdir", "");
    press("btApply");
    EXPECT_EQ(setting("exportdir"), "");
    control<QLineEdit>("edtFile")->setText("cat_sample");
    sink.messages.clear();
    press("btExport");
    const QString folder = quill::documentsFolder();
    EXPECT_EQ(sink.messages, QStringList({"Completed.\n" + folder + "/cat_sample.zip\n" + folder
                                          + "/cat_sample.html"}));
    EXPECT_TRUE(QFile::exists(folder + "/cat_sample.zip"));
    EXPECT_TRUE(quill::documentsFolder().startsWith(home.path()));
    EXPECT_FALSE(QFile::exists("/cat_sample.zip"));
}

TEST_F(SystemPageTest, DefaultRestoresTheSettingsAndTheFields)
{
    const QString width = setting("width");
    type("edtWidth", "50");
    type("edtSpriteSize", "32");
    press("btApply");
    ASSERT_EQ(window->spriteSize(), 32);
    sink.messages.clear();

    type("edtKeyHeight", "typed but not applied");
    press("btDefault");

    EXPECT_EQ(sink.messages, QStringList({"Done."}));
    EXPECT_EQ(setting("width"), width);
    EXPECT_EQ(window->spriteSize(), 16);
    EXPECT_EQ(window->spriteEditor().document().spriteSize(), 16);
    EXPECT_EQ(control("edtWidth")->text(), width);
    EXPECT_EQ(control("edtKeyHeight")->text(), setting("keyheight"));
    EXPECT_FALSE(window->codePage().shiftState());
}

TEST_F(SystemPageTest, WebsiteOpensTheAboutPageWrittenBesideThePage)
{
    DesktopRecorder desktop;
    press("btWebsite");

    const QString about = window->paths().baseDir + "about.html";
    ASSERT_EQ(desktop.opened, QList<QUrl>({QUrl::fromLocalFile(about)}));
    const QString text = quill::readTextFile(about).lines.join('\n');
    EXPECT_TRUE(text.contains("three.js")) << text.toStdString();
    EXPECT_TRUE(sink.messages.isEmpty());
}

TEST_F(SystemPageTest, QuitClosesTheWindowAndSavesTheSettings)
{
    type("edtWidth", "41");
    press("btApply");
    press("btQuit");

    EXPECT_FALSE(window->isVisible());
    const QStringList saved = quill::readTextFile(window->paths().settingsPath).lines;
    EXPECT_TRUE(saved.contains("width=41")) << saved.join('|').toStdString();
}

// A path pasted with line breaks into the Export directory field is stored
// as one line: the settings file keeps its forty lines through later starts.
TEST_F(SystemPageTest, APastedLineBreakNeverReachesTheSettingsFile)
{
    QLineEdit *field = control("edtOpenmsxdir");
    field->clear();
    QGuiApplication::clipboard()->setText(home.path() + "/one\n/two\r\nthree\n");
    field->paste();
    press("btApply");
    press("btQuit");

    EXPECT_EQ(sink.messages, QStringList({"Done."}));
    EXPECT_EQ(setting("exportdir"), home.path() + "/one/twothree");
    const QStringList saved = quill::readTextFile(window->paths().settingsPath).lines;
    EXPECT_EQ(saved.size(), 40) << saved.join('|').toStdString();
    EXPECT_TRUE(saved.contains("exportdir=" + home.path() + "/one/twothree"));
}

// Every one-line edit of the window (file names, the System page's fields,
// the run width, the answer to a page's prompt) is made one line by the
// same helper.
TEST_F(SystemPageTest, EveryOneLineEditOfTheWindowHoldsOneLine)
{
    const QList<QLineEdit *> edits = window->findChildren<QLineEdit *>();
    QStringList names;
    for (QLineEdit *edit : edits) {
        names << edit->objectName();
        edit->setText("a\nb");
        EXPECT_EQ(edit->text(), "ab") << edit->objectName().toStdString();
    }
    names.sort();
    EXPECT_EQ(names, QStringList({"edtCommand", "edtFile", "edtGraFile", "edtKeyHeight", "edtOpenmsxdir",
                                  "edtRunDialog", "edtRunWidth", "edtSpriteSize", "edtWidth"}));
}

} // namespace

#include "test_systempage.moc"
