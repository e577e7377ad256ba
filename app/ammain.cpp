#include "app/ammain.h"

#include "base/controls/controls.h"
#include "base/quillerror.h"
#include "base/textfile.h"
#include "base/wholenumber.h"
#include "app/codepage.h"
#include "base/settingstable.h"
#include "app/helppage.h"
#include "app/helptext.h"
#include "app/installer.h"
#include "app/keysforfields.h"
#include "app/numericsettings.h"
#include "app/runoverlay.h"
#include "app/spritepage.h"
#include "app/systempage.h"
#include "app/unsavedwork.h"
#include "app/windowplace.h"
#include "app/windowplacing.h"
#include "builder/exportstaging.h"
#include "builder/runview.h"
#include "editor/codeview.h"
#include "editor/keycaptions.h"
#include "editor/keypanel.h"
#include "editor/picklist.h"
#include "sprite/palette.h"
#include "sprite/spritestorage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QWindow>

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
    : QWidget(parent), messages_(messages ? messages : this), handlers_(*messages_),
      paths_(quill::WorkspacePaths::standard())
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("QuillIDE"));
    setAccessibleName(QStringLiteral("QuillIDE"));
    resize(quill::DesignClientWidth, quill::DesignClientHeight);
    createRooms();
    FormCreate();
}

TfrmMain::~TfrmMain()
{
    handlers_.end();
}

void TfrmMain::createRooms()
{
    TabControl1 = quill::named(new PageControl(this), "TabControl1", QStringLiteral("Pages"));
    const auto offer = [this](quill::PickMode mode, const QStringList &items) {
        PickList->setItems(items);
        PickList->OpenPickList(mode);
    };
    codePage_ = new quill::CodePage(
        program_, Settings, paths_,
        {.offerChoices = offer,
         .keywords = [this] { return Keywords; },
         .spriteSize = [this] { return spriteSize(); },
         .typeIntoField = [this](const QString &caption) { return fieldKeys_->type(caption); },
         .overlayShowing = [this] { return runOverlay_->showing(); },
         .run = [this] { runOverlay_->btRunClick(); },
         .toggleKeyboard = [this] { toggleKeyboard(); },
         .codeSaved = [this] { unsavedWork_->codeSaved(program_); }},
        handlers_);
    spritePage_ = new quill::SpritePage(
        spriteEditor_, Settings, paths_,
        {.offerPalettes = [offer](const QStringList &names) { offer(quill::PickMode::Palettes, names); },
         .keepUnsavedWork = [this] { unsavedWork_->keepNow(); },
         .spriteSaved = [this] { unsavedWork_->spriteSaved(spriteEditor_.document()); },
         .sizeChanged = [this] { LayoutScreen(); }},
        handlers_);
    helpPage_ = new quill::HelpPage;
    systemPage_ = new quill::SystemPage(Settings, Keywords, paths_, program_,
                                        {.spriteSize = [this] { return spriteSize(); },
                                         .resizeSprite = [this](int size) { spritePage_->resizeSprite(size); },
                                         .unshift = [this] { codePage_->Unshift(); },
                                         .layoutScreen = [this] { LayoutScreen(); },
                                         .keyPanelWidth = [this] { return quill::keyPanelWidth(width()); },
                                         .quit = [this] { close(); }},
                                        handlers_);
    TabControl1->addTab(codePage_, QStringLiteral("Code"));
    TabControl1->addTab(spritePage_, QStringLiteral("Sprite"));
    TabControl1->addTab(helpPage_, QStringLiteral("Help"));
    TabControl1->addTab(systemPage_, QStringLiteral("System"));
    handlers_.wire(TabControl1, &QTabWidget::currentChanged, this, &TfrmMain::TabControl1Change);

    PickList = new quill::PickList(this);
    handlers_.wire(PickList, &quill::PickList::itemChosen, this, &TfrmMain::lstSelectClick);
    runOverlay_ = new quill::RunOverlay(this, program_, Settings, paths_,
                                        {.showProgramLine = [this](int line) { showProgramLine(line); },
                                         .giveCodeTheKeys = [this] { codePage_->giveCodeTheKeys(); },
                                         .layoutScreen = [this] { LayoutScreen(); }},
                                        handlers_);
    fieldKeys_ = std::make_unique<quill::KeysForFields>(
        *this, *codePage_->keyPanel(), *codePage_,
        quill::KeysForFields::Crossings{.overlayShowing = [this] { return runOverlay_->showing(); },
                                        .fieldDone = [this](QLineEdit *field) { fieldDone(field); }},
        handlers_);
}

void TfrmMain::FormCreate()
{
    TabControl1->setCurrentWidget(codePage_);
    Settings = quill::SettingsStore();
    Keywords.clear();
    program_.NewProgram();

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
        handlers_.run([this] { Settings.save(paths_.settingsPath); });
        if (const std::optional<QString> kept = quill::keptFilesMessage(report))
            messages_->showMessage(*kept);
    }
    quill::repairNumericSettings(Settings, quill::keyPanelWidth(width()), *messages_);
    for (const QString &sprite : quill::settleSpriteSaves(paths_.spriteDir, paths_.imageDir))
        messages_->showMessage(quill::spritePairMismatch(sprite));
    for (const QString &pair : quill::settleExports(quill::exportFolder(Settings, quill::documentsFolder())))
        messages_->showMessage(pair);

    systemPage_->LoadSystemPage();
    spritePage_->AllocateSpriteBuffers(quill::storedNumber(Settings, quill::setting::Sprite));
    // Only here: a later change of the sprite size keeps the pen's colour.
    spriteEditor_.selectColor(2);

    keyboardHidden_ = quill::restoreWindowPlace(*this, windowPlacePath(), DesignTop).keyboardHidden;
    LayoutScreen();
    helpPage_->showHelp(quill::helpText(paths_));
    // A damaged palette value is reported and leaves the bar black; the
    // program still starts.
    handlers_.run([this] { spriteEditor_.ApplyPalette(Settings); });
    spritePage_->repaintSpriteColours();

    program_.setCursor(0, 0);
    program_.setScroll(0, 0);

    // Work that a kill, a power cut or a Quit left unsaved comes back; from
    // now on the journal follows every change.
    unsavedWork_ = std::make_unique<quill::UnsavedWork>(journalFolder(), *messages_);
    unsavedWork_->follow(program_, spriteEditor_.document());
    handlers_.run([this] {
        const std::optional<QString> recovered =
            unsavedWork_->recover(program_, spriteEditor_.document(), paths_.codeDir, paths_.spriteDir);
        codePage_->showFileName();
        spritePage_->showSpriteName();
        spritePage_->adoptDocumentSize();
        // Told once the window shows, over the work it names.
        if (recovered)
            QMetaObject::invokeMethod(
                this, [this, text = *recovered] { messages_->showMessage(text); }, Qt::QueuedConnection);
    });
}

// ---- the layout pass -------------------------------------------------------------

void TfrmMain::LayoutScreen()
{
    quill::LayoutInput input = layoutInput();
    input.keyCaptions = quill::KeyCaptions(Settings).captionKeys(1, codePage_->shiftState());
    // The pages are laid out for the size the window is about to grow to.
    const QSize client = size().expandedTo(updateMinimumSize(input));
    input.clientWidth = client.width();
    input.clientHeight = client.height();

    layout_ = quill::computeLayout(input);

    // A keyboard floating for a field goes home to be laid out, and comes
    // back at its new size.
    quill::KeyPanel *keys = codePage_->keyPanel();
    const bool keysFloating = keys->floating();
    keys->dock();
    TabControl1->setGeometry(0, 0, input.clientWidth, input.clientHeight);
    codePage_->layoutPage(layout_, input.keyCaptions);
    spritePage_->layoutPage(layout_);
    helpPage_->layoutPage(layout_);
    systemPage_->layoutPage(layout_);
    constexpr int SelectCloseSize = 43;
    PickList->setGeometry(layout_.pickList);
    PickList->layoutBox(layout_.pickListBoxWidth, SelectCloseSize, layout_.listsFitNames);
    runOverlay_->layoutOverlay(TabControl1->geometry());
    if (keysFloating)
        fieldKeys_->floatKeys();
}

quill::LayoutInput TfrmMain::layoutInput() const
{
    quill::LayoutInput input;
    input.clientWidth = width();
    input.clientHeight = height();
    input.spriteSize = spriteSize();
    input.toolButtonHeight = quill::storedNumber(Settings, quill::setting::Command);
    input.keyHeight = quill::storedNumber(Settings, quill::setting::KeyHeight);
    input.visibleColumns = quill::storedNumber(Settings, quill::setting::Width);
    input.landscapeLayout = true;
    input.keyboardHidden = keyboardHidden_;
    input.devicePixelRatio = devicePixelRatioF();
    return input;
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

void TfrmMain::FormResize()
{
    codePage_->Unshift();
    LayoutScreen();
}

// ---- what crosses the rooms ------------------------------------------------------

void TfrmMain::lstSelectClick(quill::PickMode mode, int index, const QString &item)
{
    // Each mode's choice joins here; a choice that fails leaves the list shown.
    if (mode == quill::PickMode::Palettes)
        spritePage_->choosePalette(item);
    else if (mode != quill::PickMode::None)
        codePage_->choose(mode, index, item);
    PickList->hide();
    codePage_->giveCodeTheKeys();
}

bool TfrmMain::closeOnEscape()
{
    if (PickList->isVisible()) {
        PickList->cancelButton()->click();
        return true;
    }
    return codePage_->closeChooser() || spritePage_->closeChooser();
}

void TfrmMain::showProgramLine(int line)
{
    TabControl1->setCurrentWidget(codePage_);
    codePage_->goToProgramLine(line);
    codePage_->giveCodeTheKeys();
}

void TfrmMain::fieldDone(QLineEdit *field)
{
    if (field == runOverlay_->view()->widthEdit())
        runOverlay_->btnRunResizeClick();
    codePage_->giveCodeTheKeys();
}

void TfrmMain::toggleKeyboard()
{
    keyboardHidden_ = !keyboardHidden_;
    quill::keepWindowPlace(*this, keyboardHidden_, windowPlacePath());
    LayoutScreen();
}

void TfrmMain::TabControl1Change(int)
{
    // Back on the Code page, the keys go to the code again.
    codePage_->giveCodeTheKeys();
}

// ---- the window's keys, messages, place and close --------------------------------

void TfrmMain::FormKeyDown(int key, const QString &text, Qt::KeyboardModifiers shift, bool autoRepeat,
                           unsigned long timestamp)
{
    if (key == Qt::Key_Escape && closeOnEscape())
        return;
    codePage_->keyDown(key, text, shift, autoRepeat, timestamp);
}

void TfrmMain::FormKeyUp(int key, Qt::KeyboardModifiers, bool autoRepeat, unsigned long timestamp)
{
    codePage_->keyUp(key, autoRepeat, timestamp);
}

void TfrmMain::keyPressEvent(QKeyEvent *event)
{
    handlers_.run([&] {
        FormKeyDown(event->key(), event->text(), event->modifiers(), event->isAutoRepeat(), event->timestamp());
    });
    QWidget::keyPressEvent(event);
}

void TfrmMain::keyReleaseEvent(QKeyEvent *event)
{
    handlers_.run([&] { FormKeyUp(event->key(), event->modifiers(), event->isAutoRepeat(), event->timestamp()); });
    QWidget::keyReleaseEvent(event);
}

void TfrmMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Keys let go while another window (a message box) had the keyboard
    // never reach this one: no key counts as held any more.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && codePage_)
        codePage_->keysLetGo();
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // On a screen of another pixel ratio the code cell and the canvas zoom
    // are chosen again.
    if (QWindow *window = windowHandle(); window && !screenWatched_) {
        screenWatched_ = true;
        handlers_.wire(window, &QWindow::screenChanged, [this] { LayoutScreen(); });
    }
    // When the program shows the window, the keys of a hardware keyboard go
    // to the code, not to the first edit of the focus chain.
    if (!event->spontaneous())
        codePage_->giveCodeTheKeys();
}

bool TfrmMain::focusNextPrevChild(bool next)
{
    // Tab pressed in the code passes through every parent on its way here;
    // none of them may move the focus out of the code.
    if (QApplication::focusWidget() == codePage_->codeView())
        return false;
    return QWidget::focusNextPrevChild(next);
}

void TfrmMain::showMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, windowTitle(), text, QMessageBox::Ok, this);
    box.exec();
    codePage_->giveCodeTheKeys();
}

bool TfrmMain::askQuestion(const QString &question)
{
    QMessageBox box(QMessageBox::Question, windowTitle(), question, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    const bool yes = box.exec() == QMessageBox::Yes;
    codePage_->giveCodeTheKeys();
    return yes;
}

QString TfrmMain::journalFolder() const
{
    return quill::stateFolder() + QStringLiteral("journal/");
}

QString TfrmMain::windowPlacePath() const
{
    return quill::stateFolder() + quill::WindowPlaceFile;
}

void TfrmMain::FormClose()
{
    quill::keepWindowPlace(*this, keyboardHidden_, windowPlacePath());
    // Quit keeps the unsaved work in the journal; the next start brings it back.
    handlers_.run([this] {
        if (unsavedWork_)
            unsavedWork_->keepNow();
    });
    Settings.save(paths_.settingsPath);
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    handlers_.run([this] { FormClose(); });
    event->accept();
}

void TfrmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    handlers_.run([this] { FormResize(); });
}
