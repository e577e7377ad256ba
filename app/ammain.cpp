#include "app/ammain.h"

#include "app/base/controls.h"
#include "app/helptext.h"
#include "app/installer.h"
#include "app/numericsettings.h"
#include "app/base/wholenumber.h"
#include "app/base/quillerror.h"
#include "app/base/textfile.h"
#include "editor/keycaptions.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

namespace {

// A tab strip of the design's fixed height, its tabs sharing the width: a
// large touch target on small screens.
class TabStrip : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override
    {
        const int tabs = count() > 0 ? count() : 1;
        const int shared = width() / tabs;
        return {std::max(shared, QTabBar::tabSizeHint(index).width()), quill::TabStripHeight};
    }
    QSize minimumTabSizeHint(int index) const override
    {
        return {QTabBar::minimumTabSizeHint(index).width(), quill::TabStripHeight};
    }
};

class PageControl : public QTabWidget {
public:
    explicit PageControl(QWidget *parent) : QTabWidget(parent)
    {
        setTabBar(new TabStrip(this));
        setDocumentMode(true);
        tabBar()->setExpanding(true);
    }
};

} // namespace

template <typename Handler> void TfrmMain::guarded(Handler &&handler)
{
    try {
        handler();
    } catch (const quill::QuillError &error) {
        Messages->showMessage(error.message());
    }
}

TfrmMain::TfrmMain(quill::MessageSink *messages, QWidget *parent)
    : QWidget(parent), Messages(messages ? messages : this)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("QuillIDE"));
    setAccessibleName(QStringLiteral("QuillIDE"));
    resize(DesignClientWidth, DesignClientHeight);
    createPages();
    FormCreate();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::FormCreate()
{
    TabControl1->setCurrentWidget(TabItem1);
    Settings = quill::SettingsStore();
    Keywords.clear();
    // NewProgram joins here: the code lines and the copy buffer.

    Paths = quill::WorkspacePaths::standard();
    if (QFileInfo(Paths.settingsPath).isFile() && QFileInfo(Paths.keywordsPath).isFile()) {
        Settings.load(Paths.settingsPath);
        Keywords = quill::readTextFile(Paths.keywordsPath).lines;
    } else {
        quill::installWorkspace(Paths, Settings, Keywords, keyPanelWidth(),
                                quill::documentsFolder());
    }
    quill::repairNumericSettings(Settings, keyPanelWidth(), *Messages);

    // LoadSystemPage joins here: the settings into the System page's fields.
    createKeyButtons();

    const QString sprite = Settings.value(QStringLiteral("sprite"));
    SpriteWidth = sprite.isEmpty() ? 16 : wholeSetting(QStringLiteral("sprite"));
    SpriteHeight = SpriteWidth;
    // AllocateSpriteBuffers joins here, and SelectedColor := 2 after it.

    setWindowState(Qt::WindowNoState);
    move(0, DesignTop);
    btnRunResize->setVisible(true);
    edtRunWidth->setVisible(true);

    LayoutScreen();
    Memo1->setPlainText(quill::helpText(Paths));
    // ApplyPalette joins here: the palette named by the "palette" setting.

    CursorLine = 0;
    CursorColumn = 0;
    TopLine = 0;
    LeftColumn = 0;
}

void TfrmMain::LayoutScreen()
{
    quill::LayoutInput input;
    input.clientWidth = width();
    input.clientHeight = height();
    input.spriteWidth = SpriteWidth;
    input.spriteHeight = SpriteHeight;
    input.toolButtonHeight = wholeSetting(QStringLiteral("command"));
    input.keyHeight = wholeSetting(QStringLiteral("keyheight"));
    input.visibleColumns = wholeSetting(QStringLiteral("width"));
    input.keyCaptions = quill::KeyCaptions(Settings).captionKeys(1, ShiftState);

    Layout = quill::layoutScreen(input);

    TabControl1->setGeometry(0, 0, input.clientWidth, input.clientHeight);
    layoutCodePage(input.keyCaptions);
    layoutSpritePage();
    layoutHelpPage();
    layoutSystemPage();
    layoutOverlays();
}

void TfrmMain::FormResize()
{
    ShiftState = false;
    LayoutScreen();
}

void TfrmMain::FormClose()
{
    Settings.save(Paths.settingsPath);
}

void TfrmMain::btQuitClick()
{
    close();
}

void TfrmMain::RunKeyCommand(const QString &caption)
{
    Q_UNUSED(caption);
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    guarded([this] { FormClose(); });
    event->accept();
}

void TfrmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    guarded([this] { FormResize(); });
}

void TfrmMain::showMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, windowTitle(), text, QMessageBox::Ok, this);
    box.exec();
}

int TfrmMain::keyPanelWidth() const
{
    quill::LayoutInput input;
    input.clientWidth = width();
    input.clientHeight = height();
    return quill::layoutScreen(input).keyPanel.width();
}

int TfrmMain::wholeSetting(const QString &key) const
{
    const auto number = quill::toWholeNumber(Settings.value(key));
    if (!number)
        throw quill::QuillError(QStringLiteral("Invalid setting %1.").arg(key));
    return *number;
}

void TfrmMain::createPages()
{
    TabControl1 = quill::named(new PageControl(this), "TabControl1", QStringLiteral("Pages"));
    TabItem1 = quill::named(new QWidget, "TabItem1", QStringLiteral("Code page"));
    TabItem2 = quill::named(new QWidget, "TabItem2", QStringLiteral("Sprite page"));
    TabItem3 = quill::named(new QWidget, "TabItem3", QStringLiteral("Help page"));
    TabItem4 = quill::named(new QWidget, "TabItem4", QStringLiteral("System page"));
    TabControl1->addTab(TabItem1, QStringLiteral("Code"));
    TabControl1->addTab(TabItem2, QStringLiteral("Sprite"));
    TabControl1->addTab(TabItem3, QStringLiteral("Help"));
    TabControl1->addTab(TabItem4, QStringLiteral("System"));

    createCodePage(TabItem1);
    createSpritePage(TabItem2);
    createHelpPage(TabItem3);
    createSystemPage(TabItem4);
    createPickList();
    createRunOverlay();
}
