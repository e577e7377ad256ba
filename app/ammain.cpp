#include "app/ammain.h"

#include "base/controls/controls.h"
#include "base/controls/touchtaps.h"
#include "base/quillerror.h"
#include "base/textfile.h"
#include "base/wholenumber.h"
#include "app/helptext.h"
#include "app/defaultsettings.h"
#include "app/installer.h"
#include "app/numericsettings.h"
#include "app/unsavedwork.h"
#include "app/windowplace.h"
#include "builder/runconsolestrip.h"
#include "builder/runerrorbar.h"
#include "builder/runview.h"
#include "editor/codeview.h"
#include "editor/keycaptions.h"
#include "editor/keypanel.h"
#include "editor/picklist.h"
#include "sprite/spriteeditor.h"
#include "sprite/spritestorage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

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
        // The page tabs are tapped; arrow keys belong to the code.
        setFocusPolicy(Qt::NoFocus);
        tabBar()->setFocusPolicy(Qt::NoFocus);
        tabBar()->setUsesScrollButtons(false);
        for (QAbstractButton *button : tabBar()->findChildren<QAbstractButton *>())
            button->setFocusPolicy(Qt::NoFocus);
        setDocumentMode(true);
        tabBar()->setExpanding(true);
    }
};

} // namespace

TfrmMain::TfrmMain(quill::MessageSink *messages, QWidget *parent)
    : QWidget(parent), messages_(messages ? messages : this)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("QuillIDE"));
    setAccessibleName(QStringLiteral("QuillIDE"));
    resize(DesignClientWidth, DesignClientHeight);
    commands_.setChoiceCommands(&choices_);
    createPages();
    FormCreate();
}

TfrmMain::~TfrmMain()
{
    handlers_.reset();
}

void TfrmMain::FormCreate()
{
    TabControl1->setCurrentWidget(TabItem1);
    Settings = quill::SettingsStore();
    Keywords.clear();
    program_.NewProgram();

    paths_ = quill::WorkspacePaths::standard();
    programFiles_.setCodeDir(paths_.codeDir);
    choices_.setSources({paths_.templateDir, paths_.imageDir, paths_.audioDir});
    if (QFileInfo(paths_.settingsPath).isFile() && QFileInfo(paths_.keywordsPath).isFile()) {
        Settings.load(paths_.settingsPath);
        if (Settings.keptFile()) {
            messages_->showMessage(quill::SettingsStore::keptFileMessage(paths_.settingsPath));
            quill::addMissingDefaults(Settings, quill::documentsFolder(), quill::keyPanelWidth(width()));
        }
        Keywords = quill::readTextFile(paths_.keywordsPath).lines;
    } else {
        const quill::InstallReport report =
            quill::installWorkspace(paths_, Settings, Keywords, quill::keyPanelWidth(width()),
                                    quill::documentsFolder(), quill::stateFolder() + QStringLiteral("kept/"));
        // Written at once: a first session that ends without a close must
        // not make the next start install over what the user saved since.
        quill::runHandler(*messages_, [this] { Settings.save(paths_.settingsPath); });
        if (const std::optional<QString> kept = quill::keptFilesMessage(report))
            messages_->showMessage(*kept);
    }
    quill::repairNumericSettings(Settings, quill::keyPanelWidth(width()), *messages_);
    for (const QString &sprite : quill::settleSpriteSaves(paths_.spriteDir, paths_.imageDir))
        messages_->showMessage(quill::spritePairMismatch(sprite));

    LoadSystemPage();
    createKeyButtons();

    SpriteSize = spriteSetting();
    AllocateSpriteBuffers();
    // Only here: a later change of the sprite size keeps the pen's colour.
    spriteEditor_->selectColor(2);

    restoreWindowPlace();
    runView_->resizeButton()->setVisible(true);
    runView_->widthEdit()->setVisible(true);

    LayoutScreen();
    Memo1->setPlainText(quill::helpText(paths_));
    // A damaged palette value is reported and leaves the bar black; the
    // program still starts.
    quill::runHandler(*messages_, [this] { spriteEditor_->ApplyPalette(Settings); });
    repaintSpriteColours();

    program_.setCursor(0, 0);
    program_.setScroll(0, 0);

    // Work that a kill, a power cut or a Quit left unsaved comes back.
    unsavedWork_ = std::make_unique<quill::UnsavedWork>(journalFolder(), *messages_);
    journalTimer_ = new QTimer(this);
    journalTimer_->setSingleShot(true);
    journalTimer_->setInterval(JournalDelay);
    connect(journalTimer_, &QTimer::timeout, handlers_.get(), [this] {
        quill::runHandler(*messages_, [this] { keepUnsavedWork(); });
    });
    quill::runHandler(*messages_, [this] {
        const std::optional<QString> recovered =
            unsavedWork_->recover(program_, spriteEditor_->document(), paths_.codeDir, paths_.spriteDir);
        showFileName();
        showSpriteName();
        adoptDocumentSize();
        RefreshSprite();
        // Told once the window shows, over the work it names.
        if (recovered)
            QMetaObject::invokeMethod(
                this, [this, text = *recovered] { messages_->showMessage(text); }, Qt::QueuedConnection);
    });
}

QString TfrmMain::journalFolder() const
{
    return quill::stateFolder() + QStringLiteral("journal/");
}

QString TfrmMain::windowPlacePath() const
{
    return quill::stateFolder() + quill::WindowPlaceFile;
}

void TfrmMain::restoreWindowPlace()
{
    const quill::WindowPlace kept = quill::readWindowPlace(windowPlacePath());
    keyboardHidden_ = kept.keyboardHidden;
    setWindowState(Qt::WindowNoState);
    QList<QRect> screens;
    for (const QScreen *each : QGuiApplication::screens())
        screens << each->availableGeometry();
    const std::optional<QRect> area = kept.geometry ? quill::placeOnScreens(*kept.geometry, screens) : std::nullopt;
    if (area) {
        setGeometry(*area);
    } else {
        if (kept.geometry) {
            const QScreen *primary = QGuiApplication::primaryScreen();
            resize(primary ? kept.geometry->size().boundedTo(primary->availableSize()) : kept.geometry->size());
        }
        move(0, DesignTop);
    }
    if (kept.maximized)
        setWindowState(Qt::WindowMaximized);
}

void TfrmMain::keepWindowPlace()
{
    quill::WindowPlace place;
    place.geometry = normalGeometry().isValid() ? normalGeometry() : geometry();
    place.maximized = windowState() & Qt::WindowMaximized;
    place.keyboardHidden = keyboardHidden_;
    // Where the window stood is not the user's work: a state folder that
    // cannot be written costs the next start its place, and no message.
    try {
        quill::writeWindowPlace(windowPlacePath(), place);
    } catch (const quill::QuillError &) {
    }
}

void TfrmMain::workChanged()
{
    if (journalTimer_ && !journalTimer_->isActive())
        journalTimer_->start();
}

void TfrmMain::keepUnsavedWork()
{
    if (unsavedWork_)
        unsavedWork_->checkpoint(program_, spriteEditor_->document());
}

quill::LayoutInput TfrmMain::layoutInput() const
{
    quill::LayoutInput input;
    input.clientWidth = width();
    input.clientHeight = height();
    input.spriteSize = SpriteSize;
    input.toolButtonHeight = wholeSetting(QStringLiteral("command"));
    input.keyHeight = wholeSetting(QStringLiteral("keyheight"));
    input.visibleColumns = wholeSetting(QStringLiteral("width"));
    input.landscapeLayout = true;
    input.keyboardHidden = keyboardHidden_;
    input.devicePixelRatio = devicePixelRatioF();
    return input;
}

void TfrmMain::LayoutScreen()
{
    quill::LayoutInput input = layoutInput();
    input.keyCaptions = quill::KeyCaptions(Settings).captionKeys(1, ShiftState);
    // The pages are laid out for the size the window is about to grow to.
    const QSize client = size().expandedTo(updateMinimumSize(input));
    input.clientWidth = client.width();
    input.clientHeight = client.height();

    layout_ = quill::computeLayout(input);

    // A keyboard floating for a field goes home to be laid out, and comes
    // back at its new size.
    const bool keysFloating = codePage_.pnlKeys->floating();
    codePage_.pnlKeys->dock();
    TabControl1->setGeometry(0, 0, input.clientWidth, input.clientHeight);
    layoutCodePage(input.keyCaptions);
    layoutSpritePage();
    layoutHelpPage();
    layoutSystemPage();
    layoutOverlays();
    if (keysFloating)
        floatKeys();
}

void TfrmMain::FormResize()
{
    ShiftState = false;
    LayoutScreen();
}

void TfrmMain::FormClose()
{
    keepWindowPlace();
    // Quit keeps the unsaved work in the journal; the next start brings it back.
    quill::runHandler(*messages_, [this] {
        keepUnsavedWork();
        if (unsavedWork_)
            unsavedWork_->flush();
    });
    Settings.save(paths_.settingsPath);
}

void TfrmMain::btQuitClick()
{
    close();
}

QSize TfrmMain::updateMinimumSize(const quill::LayoutInput &input)
{
    QSize minimum = quill::minimumClientSize(input);
    // Never more than the screen offers: a window that cannot fit is worse
    // than a cramped one.
    if (const QScreen *where = screen())
        minimum = minimum.boundedTo(where->availableSize());
    setMinimumSize(minimum);
    // A wider window needs a taller code line. Inside a resize the window
    // system does not take a new size, so the grown one is asked for after it.
    if (width() < minimum.width() || height() < minimum.height())
        QMetaObject::invokeMethod(
            this, [this] { resize(size().expandedTo(minimumSize())); }, Qt::QueuedConnection);
    return minimum;
}

void TfrmMain::lstSelectClick(quill::PickMode mode, int index, const QString &item)
{
    // Each mode's choice joins here; a choice that fails leaves the list shown.
    switch (mode) {
    case quill::PickMode::Palettes:
        choosePalette(item);
        break;
    case quill::PickMode::Keywords:
    case quill::PickMode::Templates:
    case quill::PickMode::JumpTargets:
    case quill::PickMode::SpriteImages:
    case quill::PickMode::SoundFiles:
        choices_.choose(mode, index, item);
        codePage_.pntProg->update();
        workChanged();
        break;
    default:
        break;
    }
    PickList->hide();
    giveCodeTheKeys();
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    quill::runHandler(*messages_, [this] { FormClose(); });
    event->accept();
}

void TfrmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    quill::runHandler(*messages_, [this] { FormResize(); });
}

void TfrmMain::showMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, windowTitle(), text, QMessageBox::Ok, this);
    box.exec();
    giveCodeTheKeys();
}

bool TfrmMain::askQuestion(const QString &question)
{
    QMessageBox box(QMessageBox::Question, windowTitle(), question, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    const bool yes = box.exec() == QMessageBox::Yes;
    giveCodeTheKeys();
    return yes;
}

int TfrmMain::spriteSetting() const
{
    if (Settings.value(QStringLiteral("sprite")).isEmpty())
        return quill::DefaultSpriteSize;
    return wholeSetting(QStringLiteral("sprite"));
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
    wire(TabControl1, &QTabWidget::currentChanged, &TfrmMain::TabControl1Change);
    createSpritePage(TabItem2);
    createHelpPage(TabItem3);
    createSystemPage(TabItem4);
    createOverlays();

    // A finger on a field gives it the keys, and the keyboard with them.
    fieldTaps_ = new quill::TouchTaps(this);
    for (QLineEdit *field : findChildren<QLineEdit *>())
        fieldTaps_->watch(field);
    connect(fieldTaps_, &quill::TouchTaps::tapped, handlers_.get(), [this](QWidget *field) {
        quill::runHandler(*messages_, [&] { fieldTapped(field); });
    });
    connect(qApp, &QApplication::focusChanged, handlers_.get(), [this](QWidget *old, QWidget *now) {
        quill::runHandler(*messages_, [&] { keysFollowFocus(old, now); });
    });
}

void TfrmMain::layoutFileMenu(QWidget *menu, QPushButton *newButton, QPushButton *openButton,
                              QPushButton *saveButton, QLineEdit *nameEdit)
{
    menu->setGeometry(0, 0, layout_.pageWidth, quill::MenuBarHeight);
    newButton->setGeometry(layout_.newButton);
    openButton->setGeometry(layout_.openButton);
    saveButton->setGeometry(layout_.saveButton);
    nameEdit->setGeometry(layout_.fileEdit);
}

void TfrmMain::createOverlays()
{
    PickList = new quill::PickList(this);
    wire(PickList, &quill::PickList::itemChosen, &TfrmMain::lstSelectClick);
    runView_ = new quill::RunView(this);
    wire(codePage_.btRun, &QPushButton::clicked, &TfrmMain::btRunClick);
    wire(runView_->closeButton(), &QPushButton::clicked, &TfrmMain::btnRunCloseClick);
    wire(runView_->resizeButton(), &QPushButton::clicked, &TfrmMain::btnRunResizeClick);
    wire(runView_, &quill::RunView::lineChosen, &TfrmMain::closeRunAt);
    connect(runView_, &quill::RunView::wholeErrorAsked, handlers_.get(), [this](const QString &text) {
        quill::runHandler(*messages_, [&] { messages_->showMessage(text); });
    });
}

void TfrmMain::layoutOverlays()
{
    constexpr int SelectCloseSize = 43;
    PickList->setGeometry(layout_.pickList);
    PickList->layoutBox(layout_.pickListBoxWidth, SelectCloseSize, layout_.listsFitNames);
    // The run view fills the client area, above the pages and the pick list.
    runView_->layoutView(TabControl1->geometry());
}
