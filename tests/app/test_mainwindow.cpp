// The main window: start-up sequence, workspace, controls, layout, keys, close.
#include "app/ammain.h"
#include "app/codepage.h"
#include "base/settingstable.h"
#include "editor/keybutton.h"
#include "editor/keyrepeat.h"
#include "app/processsetup.h"
#include "builder/runpolicy.h"
#include "app/starterfiles.h"
#include "base/textfile.h"
#include "base/workspace.h"
#include "sprite/spriteeditor.h"

#include "tests/app/windowtest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace {

class RecordingSink : public quill::MessageSink {
public:
    void showMessage(const QString &text) override { messages << text; }
    QStringList messages;
};

// Records the captions that the keys send to the command dispatcher.
class KeyRecorder {
public:
    explicit KeyRecorder(const TfrmMain &window)
    {
        for (quill::KeyButton *key : window.codePage().keyButtons())
            QObject::connect(key, &quill::KeyButton::keyClicked,
                             [this](const QString &caption) { commands << caption; });
    }
    QStringList commands;
};

void wait(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitFor(const std::function<bool()> &condition, int timeoutMs = 2000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < timeoutMs)
        wait(10);
    return condition();
}

void sendMouse(QWidget *widget, QEvent::Type type)
{
    const QPointF local = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(local);
    QMouseEvent event(type, local, global, Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void click(QWidget *widget)
{
    sendMouse(widget, QEvent::MouseButtonPress);
    sendMouse(widget, QEvent::MouseButtonRelease);
}

QStringList keysOf(const QStringList &entries)
{
    QStringList keys;
    for (const QString &entry : entries)
        keys << entry.section(u'=', 0, 0);
    return keys;
}

class MainWindowTest : public quill::testsupport::WindowTest {
protected:
    void SetUp() override
    {
        useFreshWorkspace();
        ASSERT_FALSE(quill::documentsFolder().isEmpty());
    }

    QString baseDir() const { return dataHome.path() + QStringLiteral("/QuillIDE/"); }
    QString settingsPath() const { return baseDir() + QStringLiteral("quillide.ini"); }

    // A first start and a close: the workspace of an ordinary start.
    void installWorkspace()
    {
        RecordingSink sink;
        TfrmMain window(&sink);
        window.close();
        ASSERT_TRUE(sink.messages.isEmpty()) << sink.messages.join(u'|').toStdString();
        ASSERT_TRUE(QFileInfo(settingsPath()).isFile());
    }

    // Replaces one "name=value" entry of the installed quillide.ini (an
    // empty value drops it).
    void editSetting(const QString &name, const QString &value)
    {
        QStringList lines = quill::readTextFile(settingsPath()).lines;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].section(u'=', 0, 0).compare(name, Qt::CaseInsensitive) != 0)
                continue;
            if (value.isEmpty())
                lines.removeAt(i);
            else
                lines[i] = name + u'=' + value;
            break;
        }
        quill::writeTextFile(settingsPath(), lines);
    }

    RecordingSink sink;
};

TEST_F(MainWindowTest, FirstStartInstallsTheWorkspaceAndCloseWritesTheSettings)
{
    TfrmMain window(&sink);
    EXPECT_TRUE(sink.messages.isEmpty()) << sink.messages.join(u'|').toStdString();

    for (const char *directory : {"prgfiles", "sprfiles", "tempfiles", "js", "img", "audio"})
        EXPECT_TRUE(QFileInfo(baseDir() + QLatin1String(directory)).isDir()) << directory;
    for (const quill::StarterFile &file : quill::starterFiles()) {
        QFile written(baseDir() + file.directory + u'/' + file.name);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << written.fileName().toStdString();
        EXPECT_EQ(written.readAll(), quill::starterFileBytes(file)) << written.fileName().toStdString();
    }
    EXPECT_EQ(quill::readTextFile(baseDir() + QStringLiteral("keywords.ini")).lines, window.keywords());
    EXPECT_EQ(window.keywords().size(), 76);
    // The first start writes the settings as soon as it has installed, so
    // that a kill before the first close does not install again.
    EXPECT_TRUE(QFileInfo::exists(settingsPath()));

    window.close();

    const QStringList lines = quill::readTextFile(settingsPath()).lines;
    const std::vector<quill::SettingDefault> table = quill::defaultSettings(quill::documentsFolder(), 384);
    QStringList tableKeys;
    for (const quill::SettingDefault &entry : table)
        tableKeys << entry.key;
    EXPECT_EQ(lines.size(), 40);
    EXPECT_EQ(keysOf(lines), tableKeys);
    // Scaled for the 384-pixel key panel of the design window.
    EXPECT_TRUE(lines.contains(QStringLiteral("keyheight=30")));
    EXPECT_TRUE(lines.contains(QStringLiteral("command=26")));
    EXPECT_TRUE(lines.contains(QStringLiteral("exportdir=") + quill::documentsFolder()));
    EXPECT_TRUE(sink.messages.isEmpty());
}

// Open cat_sample, type, Save, and the process is killed before it ever
// closed: the next start is an ordinary one and the sample keeps the edit.
TEST_F(MainWindowTest, AKillDuringTheFirstSessionLosesNoSavedEdit)
{
    const QString sample = baseDir() + QStringLiteral("prgfiles/cat_sample");
    {
        auto window = std::make_unique<TfrmMain>(&sink);
        window->findChild<QPushButton *>(QStringLiteral("btTextOpen"))->click();
        auto *list = window->findChild<QListWidget *>(QStringLiteral("lstBasfiles"));
        const QList<QListWidgetItem *> found = list->findItems(QStringLiteral("cat_sample"), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        list->setCurrentItem(found.front());
        window->findChild<QPushButton *>(QStringLiteral("btTextOk"))->click();
        window->codePage().RunKeyCommand(QStringLiteral("x"));
        window->findChild<QPushButton *>(QStringLiteral("btTextSave"))->click();
        ASSERT_EQ(sink.messages, QStringList({QStringLiteral("Saved.")}));
        // Destroyed without a close, as a kill leaves it.
    }
    const QByteArray edited = [&] {
        QFile file(sample);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    ASSERT_TRUE(edited.startsWith("\xEF\xBB\xBFx//"));

    RecordingSink messages;
    TfrmMain again(&messages);
    QFile file(sample);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), edited);
}

// Default replaces the samples and templates with the starter bytes, after
// keeping the user's own versions in the state folder.
TEST_F(MainWindowTest, DefaultKeepsTheUsersOwnStarterVersionsAndNamesThem)
{
    TfrmMain window(&sink);
    const QString sample = baseDir() + QStringLiteral("prgfiles/cat_sample");
    quill::writeTextFile(sample, {QStringLiteral("my game")});
    sink.messages.clear();
    window.findChild<QPushButton *>(QStringLiteral("btDefault"))->click();
    const QString keep = quill::stateFolder() + QStringLiteral("kept/");
    EXPECT_TRUE(keep.startsWith(stateHome.path()));
    EXPECT_EQ(sink.messages,
              QStringList({QStringLiteral("Your own versions were kept in %1: prgfiles/cat_sample.").arg(keep),
                           QStringLiteral("Done.")}));
    EXPECT_EQ(quill::readTextFile(keep + QStringLiteral("prgfiles/cat_sample")).lines,
              QStringList({QStringLiteral("my game")}));
    QFile file(sample);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), quill::starterFileBytes({QStringLiteral("prgfiles"), QStringLiteral("cat_sample")}));
}

// Quit asks nothing and loses nothing: the unsaved code and sprite are in the
// journal, and the next start brings them back, still unsaved.
TEST_F(MainWindowTest, QuitKeepsUnsavedWorkForTheNextStart)
{
    {
        TfrmMain window(&sink);
        window.codePage().RunKeyCommand(QStringLiteral("z"));
        window.findChild<QLineEdit *>(QStringLiteral("edtGraFile"))->setText(QStringLiteral("hero"));
        click(window.findChild<QWidget *>(QStringLiteral("btGraAdd")));
        click(window.findChild<QWidget *>(QStringLiteral("btQuit")));
    }
    EXPECT_TRUE(sink.messages.isEmpty()) << sink.messages.join(u'|').toStdString();
    RecordingSink messages;
    TfrmMain again(&messages);
    again.show();
    QApplication::processEvents();
    EXPECT_EQ(messages.messages,
              QStringList({QStringLiteral("Recovered unsaved changes: an unnamed program and sprite hero.")}));
    EXPECT_EQ(again.program().line(0), QStringLiteral("z//"));
    EXPECT_TRUE(again.program().codeModified());
    EXPECT_EQ(again.spriteEditor().document().celLabel(), QStringLiteral("2/2"));
    EXPECT_EQ(again.findChild<QLineEdit *>(QStringLiteral("edtGraFile"))->text(), QStringLiteral("hero"));
}

TEST_F(MainWindowTest, WhichStartIsOrdinary)
{
    struct Case {
        const char *name;
        bool deleteKeywords;
        bool deleteCodeDir;
        int expectedColumns;
        bool codeDirExists;
    };
    const std::vector<Case> cases = {
        // Both files present: quillide.ini is read and nothing is installed.
        {"ordinary start reads the settings", false, true, 40, false},
        // keywords.ini missing: a first run, every setting back to its default.
        {"missing keywords.ini is a first run", true, true, 32, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QDir(baseDir()).removeRecursively());
        installWorkspace();
        editSetting(QStringLiteral("width"), QStringLiteral("40"));
        if (c.deleteKeywords)
            QFile::remove(baseDir() + QStringLiteral("keywords.ini"));
        if (c.deleteCodeDir)
            QDir(baseDir() + QStringLiteral("prgfiles")).removeRecursively();

        RecordingSink messages;
        TfrmMain window(&messages);
        EXPECT_TRUE(messages.messages.isEmpty());
        EXPECT_EQ(window.layout().visibleColumns, c.expectedColumns);
        EXPECT_EQ(window.settings().value(QStringLiteral("width")), QString::number(c.expectedColumns));
        EXPECT_EQ(QFileInfo(baseDir() + QStringLiteral("prgfiles")).isDir(), c.codeDirExists);
        EXPECT_EQ(window.keywords().size(), 76);
    }
}

TEST_F(MainWindowTest, ABadNumericSettingIsReportedAndTheProgramStarts)
{
    struct Case {
        const char *name;
        const char *key;
        const char *value;  // empty: the entry is removed
        const char *message;  // empty: none
        int columns;
        int spriteSize;
        int keyHeight;
    };
    const std::vector<Case> cases = {
        {"width not a number", "width", "abc", "Invalid setting width.", 32, 16, 30},
        {"width zero", "width", "0", "Invalid setting width.", 32, 16, 30},
        {"keyheight not a number", "keyheight", "x1", "Invalid setting keyheight.", 32, 16, 30},
        {"sprite not a number", "sprite", "abc", "Invalid setting sprite.", 32, 16, 30},
        {"sprite missing", "sprite", "", "", 32, 16, 30},
        {"sprite 32", "sprite", "32", "", 32, 32, 30},
        {"width 40", "width", "40", "", 40, 16, 30},
    };
    installWorkspace();
    const QStringList installed = quill::readTextFile(settingsPath()).lines;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        quill::writeTextFile(settingsPath(), installed);
        editSetting(QLatin1String(c.key), QLatin1String(c.value));

        RecordingSink messages;
        TfrmMain window(&messages);
        const QStringList expected =
            *c.message ? QStringList{QLatin1String(c.message)} : QStringList{};
        EXPECT_EQ(messages.messages, expected);
        EXPECT_EQ(window.layout().visibleColumns, c.columns);
        EXPECT_EQ(window.spriteSize(), c.spriteSize);
        EXPECT_EQ(window.layout().keyHeight, c.keyHeight);
        auto *preview = window.findChild<QWidget *>(QStringLiteral("pntView"));
        ASSERT_NE(preview, nullptr);
        // Twice the sprite in the design window up to size 20, its own size above.
        const int previewSide = c.spriteSize <= 20 ? 2 * c.spriteSize : c.spriteSize;
        EXPECT_EQ(preview->size(), QSize(previewSide, previewSide));
    }
}

// A settings file with bytes that are no text in its encoding is never
// rewritten: the user is told once, the program runs on the defaults for the
// lines it could not read, and the file keeps its bytes through the close.
TEST_F(MainWindowTest, ASettingsFileThatCannotBeReadAsTextIsKeptAsItWas)
{
    installWorkspace();
    QStringList lines = quill::readTextFile(settingsPath()).lines;
    QByteArray damaged = "\xEF\xBB\xBF";
    for (const QString &line : lines) {
        if (line.startsWith("width="))
            damaged += "width=40\r\n";
        else if (line.startsWith("BtnKey11="))
            damaged += "BtnKey11=12345\xFF\xFE" "890\r\n";
        else
            damaged += line.toUtf8() + "\r\n";
    }
    quill::writeBinaryFile(settingsPath(), damaged);

    RecordingSink messages;
    {
        TfrmMain window(&messages);
        EXPECT_EQ(messages.messages,
                  QStringList{"Settings file kept as it was: " + settingsPath() + " cannot be read as text."});
        EXPECT_EQ(window.settings().value("width"), "40");
        EXPECT_EQ(window.settings().value("BtnKey11"), "1234567890");
        EXPECT_EQ(window.layout().visibleColumns, 40);
        window.close();
    }
    EXPECT_EQ(messages.messages.size(), 1);
    QFile file(settingsPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), damaged);
}

TEST_F(MainWindowTest, TheWindowStartsInItsDesignState)
{
    TfrmMain window(&sink);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("QuillIDE"));
    EXPECT_EQ(window.size(), QSize(384, 567));
    EXPECT_EQ(window.pos(), QPoint(0, 32));
    EXPECT_EQ(window.windowState(), Qt::WindowNoState);
    auto *pages = window.findChild<QTabWidget *>(QStringLiteral("TabControl1"));
    ASSERT_NE(pages, nullptr);
    ASSERT_EQ(pages->count(), 4);
    EXPECT_EQ(pages->currentIndex(), 0);
    const QStringList captions = {"Code", "Sprite", "Help", "System"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pages->tabText(i), captions[i]);
        EXPECT_EQ(pages->widget(i)->objectName(), QStringLiteral("TabItem%1").arg(i + 1));
    }
    auto *memo = window.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(memo->font().pixelSize(), 20) << "every measure of the pages is in pixels";
    // Monospaced: a narrow and a wide letter take the same advance.
    const QFontMetrics metrics(memo->font());
    EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')), metrics.horizontalAdvance(QLatin1Char('W')));
    // The Help text shows the workspace's own directories.
    EXPECT_TRUE(memo->toPlainText().contains(window.paths().codeDir));
    EXPECT_TRUE(memo->toPlainText().contains(window.paths().audioDir));
    EXPECT_FALSE(memo->toPlainText().contains(QStringLiteral("%di_")));
    // The web view is made at the first Run, not at start-up.
    EXPECT_EQ(window.findChild<QWidget *>(QStringLiteral("webRun")), nullptr);

    window.show();
    ASSERT_TRUE(waitFor([&] { return pages->tabBar()->height() == quill::TabStripHeight; }));
    EXPECT_EQ(QRect(pages->currentWidget()->mapTo(&window, QPoint(0, 0)), pages->currentWidget()->size()),
              QRect(0, 49, 384, 518));
}

TEST_F(MainWindowTest, ControlsCarryTheirNamesAndAccessibleNames)
{
    struct Case {
        const char *objectName;
        const char *accessibleName;
        bool hidden;  // in the window as started
    };
    const std::vector<Case> cases = {
        {"TabControl1", "Pages", false},
        {"pnlBasMenu", "Code menu", false},
        {"btTextNew", "New", false},
        {"btTextOpen", "Open", false},
        {"btTextSave", "Save", false},
        {"edtFile", "File name", false},
        {"btRun", "Run", false},
        {"pntProg", "Code view", false},
        {"imgFonts", "Font image", true},
        {"pnlBasfiles", "Code file chooser", true},
        {"lstBasfiles", "Code files", false},
        {"btTextOk", "OK", false},
        {"btTextCancel", "Cancel", false},
        {"btTextDelete", "Delete", true},
        {"pnlKeys", "Keyboard", false},
        {"pnlGraMenu", "Sprite menu", false},
        {"btGraNew", "New", false},
        {"btGraOpen", "Open", false},
        {"btGraSave", "Save", false},
        {"edtGraFile", "Sprite name", false},
        // A label that shows a value is read as the value it shows.
        {"lblCel", "1/1", false},
        {"pnlGraFiles", "Sprite file chooser", true},
        {"lstGrafiles", "Sprite files", false},
        {"btGraOk", "OK", false},
        {"btGraCancel", "Cancel", false},
        {"btGraDelete", "Delete", true},
        {"pntMain", "Sprite canvas", false},
        {"pnlGraTools", "Sprite tools", false},
        {"pntColor", "Colour bar", false},
        {"pntView", "Sprite preview", false},
        {"btGraAdd", "Ad", false},
        {"btGraDel", "Dl", false},
        {"btGraBack", "<-", false},
        {"btGraNext", "->", false},
        {"btGraCopy", "Cp", false},
        {"btGraPaste", "Ps", false},
        {"btGraPaint", "Pn", false},
        {"btGraRotate", "Rt", false},
        {"btGraFlipV", "Fv", false},
        {"btGraFlipH", "Fh", false},
        {"btGraShiftU", "Sh", false},
        {"btGraShiftR", "U", false},
        {"btGraShiftD", "Er", false},
        {"btGraShiftL", "Un", false},
        {"btGraData", "Cl", false},
        {"Memo1", "Help", false},
        {"Label2", "Width", false},
        {"edtWidth", "Width", false},
        {"Label4", "Buttons height(CODE)", false},
        {"edtKeyHeight", "Buttons height(CODE)", false},
        {"Label5", "Buttons height(SPRITE)", false},
        {"edtCommand", "Buttons height(SPRITE)", false},
        {"Label3", "Sprite size", false},
        {"edtSpriteSize", "Sprite size", false},
        {"Label1", "Export directory", false},
        {"edtOpenmsxdir", "Export directory", false},
        {"btDefault", "Default", false},
        {"btApply", "Apply settings", false},
        {"chkGfx9000", "Use web browser", true},
        {"btExport", "Export", false},
        {"btWebsite", "Website", false},
        {"btQuit", "Quit", false},
        {"pnlSelect", "Pick list panel", true},
        {"lstSelect", "Pick list", false},
        {"btnSelCancel", "X", false},
        {"pnlRun", "Run view", true},
        {"pnlRunBtns", "Run bar", false},
        {"btnRunClose", "Close", false},
        // Shown at start-up, inside the hidden run view.
        {"btnRunResize", "Resize", false},
        {"edtRunWidth", "Run width", false},
        // Keys are named by their layer-1 caption; the ampersand key by the
        // character it types, the space bar by a word.
        {"KeyButton0", "1", false},
        {"KeyButton15", "&", false},
        {"KeyButton19", "Bs", false},
        {"KeyButton59", "Rt", false},
        {"KeyButton69", "", true},
        {"KeyButton74", "Space", false},
        {"KeyButton75", "", true},
    };
    TfrmMain window(&sink);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.objectName);
        const auto found = window.findChildren<QWidget *>(QLatin1String(c.objectName));
        ASSERT_EQ(found.size(), 1);
        EXPECT_EQ(found.front()->accessibleName(), QLatin1String(c.accessibleName));
        EXPECT_EQ(found.front()->isHidden(), c.hidden);
        if (auto *button = qobject_cast<QPushButton *>(found.front());
            button && !qobject_cast<quill::KeyButton *>(button)) {
            EXPECT_EQ(button->text(), QLatin1String(c.accessibleName));
        }
    }
    EXPECT_EQ(window.findChild<QWidget *>(QStringLiteral("lblCel"))->accessibleDescription(), QStringLiteral("Cel"));
    auto *runWidth = window.findChild<QLineEdit *>(QStringLiteral("edtRunWidth"));
    ASSERT_NE(runWidth, nullptr);
    EXPECT_EQ(runWidth->text(), QStringLiteral("512"));
    auto *check = window.findChild<QCheckBox *>(QStringLiteral("chkGfx9000"));
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->text(), QStringLiteral("Use web browser"));
    for (const char *label : {"Label1", "Label2", "Label3", "Label4", "Label5"})
        EXPECT_TRUE(window.findChild<QWidget *>(QLatin1String(label))->font().bold()) << label;
}

TEST_F(MainWindowTest, SystemPageFocusOrder)
{
    TfrmMain window(&sink);
    // Only the one-line edits take the focus: a focused button would click
    // again on Space or Enter.
    const QStringList order = {"edtWidth", "edtKeyHeight", "edtCommand", "edtSpriteSize", "edtOpenmsxdir"};
    QWidget *widget = window.findChild<QWidget *>(order.front());
    ASSERT_NE(widget, nullptr);
    QStringList seen = {widget->objectName()};
    while (seen.size() < order.size()) {
        widget = widget->nextInFocusChain();
        // Labels and hidden controls never take the focus.
        if (widget->focusPolicy() & Qt::TabFocus && !widget->isHidden())
            seen << widget->objectName();
    }
    EXPECT_EQ(seen, order);
}

TEST_F(MainWindowTest, TheDesignWindowIsLaidOutAsTheWorkedExample)
{
    struct Case {
        const char *objectName;
        QRect geometry;  // in the parent
    };
    const std::vector<Case> cases = {
        {"pnlBasMenu", {0, 0, 384, 43}},
        {"btTextNew", {0, 0, 54, 43}},
        {"btTextOpen", {54, 0, 54, 43}},
        {"btTextSave", {108, 0, 54, 43}},
        {"edtFile", {162, 4, 168, 32}},
        {"btRun", {330, 0, 54, 43}},
        {"pntProg", {0, 43, 384, 235}},
        {"pnlKeys", {0, 278, 384, 240}},
        {"KeyButton0", {0, 0, 36, 27}},
        {"KeyButton13", {114, 30, 36, 27}},
        {"KeyButton74", {152, 210, 74, 27}},
        {"KeyButton59", {342, 150, 36, 57}},
        {"KeyButton79", {342, 210, 36, 27}},
        {"edtGraFile", {162, 4, 168, 32}},
        {"lblCel", {331, 9, 43, 24}},
        {"pntMain", {0, 43, 384, 384}},
        {"pnlGraTools", {0, 427, 384, 91}},
        {"pntColor", {0, 0, 384, 24}},
        {"pntView", {0, 24, 32, 32}},
        {"btGraAdd", {49, 37, 46, 26}},
        {"btGraDel", {97, 37, 46, 26}},
        {"btGraPaint", {337, 37, 46, 26}},
        {"btGraRotate", {1, 65, 46, 26}},
        {"btGraData", {337, 65, 46, 26}},
        {"Memo1", {0, 0, 384, 518}},
        {"pnlSelect", {32, 16, 320, 518}},
        {"lstSelect", {0, 0, 277, 518}},
        {"btnSelCancel", {277, 0, 43, 43}},
        {"edtOpenmsxdir", {7, 170, 368, 32}},
        {"btQuit", {209, 457, 145, 44}},
        {"pnlRun", {0, 0, 384, 567}},
        {"btnRunClose", {311, 0, 73, 45}},
        {"btnRunResize", {0, 0, 73, 45}},
        {"edtRunWidth", {76, 8, 65, 32}},
    };
    TfrmMain window(&sink);
    for (const Case &c : cases) {
        auto *widget = window.findChild<QWidget *>(QLatin1String(c.objectName));
        ASSERT_NE(widget, nullptr) << c.objectName;
        EXPECT_EQ(widget->geometry(), c.geometry) << c.objectName;
    }
    EXPECT_EQ(window.layout().cellSize, 12);
    EXPECT_EQ(window.layout().visibleLines, 19);
    // The keys hidden under the space bar and the Enter key.
    EXPECT_TRUE(window.codePage().keyButtons()[75]->isHidden());
    EXPECT_TRUE(window.codePage().keyButtons()[69]->isHidden());
}

TEST_F(MainWindowTest, ResizingLaysThePagesOutAgain)
{
    struct Case {
        const char *name;
        QSize client;
        QRect fileEdit;
        QRect runButton;
        QRect keyPanel;
    };
    const std::vector<Case> cases = {
        {"390 wide: the file name edit takes the remainder", {390, 567}, {165, 4, 170, 32}, {335, 0, 55, 43},
         {0, 278, 390, 240}},
        {"taller: the key panel stays at the foot", {384, 667}, {162, 4, 168, 32}, {330, 0, 54, 43},
         {0, 378, 384, 240}},
    };
    TfrmMain window(&sink);
    window.show();
    auto *fileEdit = window.findChild<QWidget *>(QStringLiteral("edtFile"));
    auto *runButton = window.findChild<QWidget *>(QStringLiteral("btRun"));
    auto *keyPanel = window.findChild<QWidget *>(QStringLiteral("pnlKeys"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        window.resize(c.client);
        EXPECT_TRUE(waitFor([&] { return runButton->geometry() == c.runButton; }));
        EXPECT_TRUE(waitFor([&] { return keyPanel->geometry() == c.keyPanel; }));
        EXPECT_EQ(fileEdit->geometry(), c.fileEdit);
        EXPECT_EQ(window.layout().pageWidth, c.client.width());
    }
    EXPECT_TRUE(sink.messages.isEmpty());
}

TEST_F(MainWindowTest, KeysSendTheirCaptionWithoutTakingTheFocus)
{
    TfrmMain window(&sink);
    KeyRecorder recorder(window);
    window.show();
    window.activateWindow();
    for (quill::KeyButton *key : window.codePage().keyButtons())
        EXPECT_EQ(key->focusPolicy(), Qt::NoFocus);

    auto *fileEdit = window.findChild<QLineEdit *>(QStringLiteral("edtFile"));
    fileEdit->setFocus();
    ASSERT_TRUE(waitFor([&] { return fileEdit->hasFocus(); }));

    quill::KeyButton *ampersand = window.codePage().keyButtons()[15];
    EXPECT_EQ(ampersand->caption(), QStringLiteral("&&"));
    click(ampersand);
    click(window.codePage().keyButtons()[40]);
    EXPECT_EQ(recorder.commands, (QStringList{"&&", "q"}));
    EXPECT_TRUE(fileEdit->hasFocus());
}

TEST_F(MainWindowTest, AHeldKeyRepeatsAndComesUpWhenReleased)
{
    TfrmMain window(&sink);
    KeyRecorder recorder(window);
    window.show();
    quill::KeyButton *key = window.codePage().keyButtons()[0];

    // The mouse's repeat is the button's own, timed as a finger's repeat is
    // (KeyRepeat; the key panel's test runs that timing on its own clock).
    EXPECT_TRUE(key->autoRepeat());
    EXPECT_EQ(key->autoRepeatDelay(), quill::KeyRepeat::FirstMs);
    EXPECT_EQ(key->autoRepeatInterval(), quill::KeyRepeat::IntervalMs);
    sendMouse(key, QEvent::MouseButtonPress);
    EXPECT_TRUE(recorder.commands.isEmpty());
    QElapsedTimer held;
    held.start();
    while (recorder.commands.size() < 2 && held.elapsed() < 20000)
        wait(20);
    const qsizetype repeats = recorder.commands.size();
    EXPECT_GE(repeats, 2);
    sendMouse(key, QEvent::MouseButtonRelease);

    EXPECT_EQ(recorder.commands.size(), repeats + 1);
    EXPECT_EQ(recorder.commands, QStringList(recorder.commands.size(), QStringLiteral("1")));
    EXPECT_FALSE(key->isDown());
    EXPECT_TRUE(key->isEnabled());
    // Released: no more repeats.
    wait(250);
    EXPECT_EQ(recorder.commands.size(), repeats + 1);
}

TEST_F(MainWindowTest, ClosingSavesTheSettings)
{
    struct Case {
        const char *name;
        bool byQuitButton;
    };
    for (const Case &c : std::vector<Case>{{"close box", false}, {"Quit button", true}}) {
        SCOPED_TRACE(c.name);
        QFile::remove(settingsPath());
        TfrmMain window(&sink);
        window.show();
        if (c.byQuitButton)
            click(window.findChild<QWidget *>(QStringLiteral("btQuit")));
        else
            window.close();
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(quill::readTextFile(settingsPath()).lines, window.settings().entries());
    }
    EXPECT_TRUE(sink.messages.isEmpty());
}

TEST_F(MainWindowTest, ASettingsFileThatCannotBeWrittenIsReportedAtClose)
{
    // A directory in the settings file's place: the start is a first run,
    // whose save after installing fails and is told without stopping the
    // start, and the save at close fails too.
    ASSERT_TRUE(QDir().mkpath(settingsPath()));
    TfrmMain window(&sink);
    ASSERT_EQ(sink.messages.size(), 1);
    EXPECT_TRUE(sink.messages.front().contains(QStringLiteral("quillide.ini")));
    window.close();
    ASSERT_EQ(sink.messages.size(), 2);
    EXPECT_FALSE(sink.messages.back().isEmpty());
    EXPECT_TRUE(QFileInfo(settingsPath()).isDir());
}

TEST_F(MainWindowTest, AHandlerThatFailsLeavesTheWindowWorking)
{
    // A directory in the settings file's place: Quit's save fails inside the
    // handler, which is told and ends; the window goes on laying out.
    ASSERT_TRUE(QDir().mkpath(settingsPath()));
    TfrmMain window(&sink);
    sink.messages.clear();  // the start's own save has failed as well
    window.show();
    click(window.findChild<QWidget *>(QStringLiteral("btQuit")));
    ASSERT_EQ(sink.messages.size(), 1);
    window.show();
    window.resize(500, 700);
    EXPECT_EQ(window.layout().pageWidth, 500);
    EXPECT_EQ(sink.messages.size(), 1);
}

TEST_F(MainWindowTest, TheWindowNeverGetsTooSmallForItsPages)
{
    TfrmMain window(&sink);
    window.show();
    window.resize(500, 300);
    // The tab strip, the menu bar, one code line and the key panel fit (the
    // window system may deliver the grown size a moment later).
    EXPECT_TRUE(waitFor([&] { return window.layout().codeView.height() >= window.layout().cellSize; }));
    const QRect keys = window.findChild<QWidget *>(QStringLiteral("pnlKeys"))->geometry();
    EXPECT_GE(keys.top(), quill::MenuBarHeight);
    EXPECT_GE(window.layout().codeView.height(), window.layout().cellSize);
    EXPECT_GE(window.height(), quill::TabStripHeight + quill::MenuBarHeight + 8 * 30);
}

TEST(WebEngineFlags, AddsWhatTheWebViewNeedsOnce)
{
    struct Case {
        const char *name;
        QByteArray existing;
        bool root;
        QByteArray expected;
    };
    // The run view's own switches close every case.
    const QByteArray run = quill::runViewChromiumSwitches().join(' ');
    const std::vector<Case> cases = {
        {"root, nothing set", "", true, "--no-sandbox --ignore-gpu-blocklist " + run},
        {"user, nothing set", "", false, "--ignore-gpu-blocklist " + run},
        {"existing flags kept first", "--enable-logging", true,
         "--enable-logging --no-sandbox --ignore-gpu-blocklist " + run},
        {"no flag twice", "--ignore-gpu-blocklist --no-sandbox " + run, true,
         "--ignore-gpu-blocklist --no-sandbox " + run},
        {"surrounding blanks dropped", "  --x  ", false, "--x --ignore-gpu-blocklist " + run},
    };
    for (const Case &c : cases)
        EXPECT_EQ(quill::webEngineFlags(c.existing, c.root), c.expected) << c.name;
}

// Chromium reads only the last switch of a name: the run view's features
// join the lists the environment gives, which stay in force.
TEST(WebEngineFlags, FeatureListsAreJoinedNotRepeated)
{
    const QByteArray flags = quill::webEngineFlags(
        "--disable-blink-features=Foo --disable-features=Bar,PlzDedicatedWorker", false);
    const QList<QByteArray> words = flags.split(' ');
    const auto named = [&](const char *name) {
        return std::count_if(words.begin(), words.end(), [&](const QByteArray &word) { return word.startsWith(name); });
    };
    EXPECT_TRUE(words.contains("--disable-blink-features=Foo,SharedWorker")) << flags.toStdString();
    EXPECT_TRUE(words.contains("--disable-features=Bar,PlzDedicatedWorker")) << flags.toStdString();
    EXPECT_EQ(named("--disable-blink-features="), 1) << flags.toStdString();
    EXPECT_EQ(named("--disable-features="), 1) << flags.toStdString();
}

} // namespace
