#pragma once

#include "base/messagesink.h"
#include "base/settingsstore.h"
#include "base/workspace.h"
#include "app/codepage.h"
#include "app/handlerboundary.h"
#include "app/layoutscreen.h"
#include "app/spritepage.h"
#include "app/systempage.h"
#include "editor/choicecommands.h"
#include "editor/codebuffer.h"
#include "editor/codefiles.h"
#include "editor/codetouch.h"
#include "editor/editorchoices.h"
#include "editor/hardwarekeys.h"
#include "editor/keyboardlayer.h"
#include "editor/keycommands.h"
#include "editor/windowstate.h"
#include "builder/runviewstate.h"

#include <QPointF>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <array>
#include <memory>

class QLineEdit;
class QTimer;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace quill {
class PickList;
class TouchTaps;
class UnsavedWork;
class RunView;
class SpriteEditor;
struct SystemFields;
struct SystemPageEffects;
}

// The one main window: it owns the application-wide state (settings,
// keywords, workspace paths, layout measures, keyboard layer, sprite size)
// and every control of the four pages and the two overlays. Handlers keep the
// names of the window's design and delegate to the models; the layout pass
// only applies the rectangles that quill::computeLayout works out.
//
//   TfrmMain window;          // runs the start-up sequence
//   window.show();
//
// Messages for the user go to the MessageSink given to the constructor, or to
// a modal box with one OK button when none is given.
class TfrmMain : public QWidget,
                 private quill::MessageSink,
                 private quill::KeyboardLayer,
                 private quill::WindowState,
                 private quill::EditorChoices {
    Q_OBJECT

public:
    // Design size of the client area and place of the window.
    static constexpr int DesignClientWidth = 384;
    static constexpr int DesignClientHeight = 567;
    static constexpr int DesignTop = 32;
    // How long after a change the unsaved work is journaled, in milliseconds.
    static constexpr int JournalDelay = 1000;

    // Runs the start-up sequence; a QuillError that ends it leaves the
    // constructor, so the process entry reports it and the window never shows.
    explicit TfrmMain(quill::MessageSink *messages = nullptr, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // Where every key edits the code: an on-screen key passes the caption it
    // shows ("&&" for the ampersand key), a hardware key the caption made
    // from it. Forwards to the editor's command table and repaints. Undo and
    // redo (Ctrl+Z, Ctrl+Y) enter through CodeBuffer, and a choice in the
    // pick list through ChoiceCommands::choose.
    void RunKeyCommand(const QString &caption);

    // The layout pass: measures the client area and places every control.
    void LayoutScreen();

    const quill::SettingsStore &settings() const { return Settings; }
    QStringList keywords() const override { return Keywords; }
    int spriteSize() const override { return SpriteSize; }
    const quill::WorkspacePaths &paths() const { return paths_; }
    const quill::LayoutResult &layout() const { return layout_; }
    const std::array<quill::KeyButton *, quill::KeyCount> &keyButtons() const { return codePage_.KeyButtons; }
    const quill::SpriteEditor &spriteEditor() const { return *spriteEditor_; }
    bool shiftState() const override { return ShiftState; }
    const quill::CodeBuffer &program() const { return program_; }
    const quill::RunViewState &runState() const { return runState_; }
    // Where the recovery journal lives.
    QString journalFolder() const;
    // Where the window's place and the keyboard toggle are kept.
    QString windowPlacePath() const;
    bool keyboardHidden() const { return keyboardHidden_; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void showMessage(const QString &text) override;
    bool askQuestion(const QString &question) override;

    // Connects a control's signal to a design handler that runs inside the
    // one error boundary; every handler is wired through here.
    template <typename Sender, typename Signal, typename... Args>
    void wire(Sender *sender, Signal signal, void (TfrmMain::*handler)(Args...))
    {
        connect(sender, signal, handlers_.get(), [this, handler](Args... args) {
            quill::runHandler(*messages_, [&] { (this->*handler)(args...); });
        });
    }

    // The keyboard layer and the window state as the key commands see them.
    void setShiftState(bool shifted) override;
    Mode windowMode() const override;
    void setWindowMode(Mode mode) override;
    // The pick list and the clipboard as the code editor's commands see them.
    void offerChoices(quill::PickMode mode, const QStringList &items) override;
    QString clipboardText() const override;
    void setClipboardText(const QString &text) override;

    void FormCreate();
    void FormClose();
    void FormResize();
    void btQuitClick();
    // The window opens where it was closed (in the state folder), or at the
    // design's place when nothing is kept or the place is off every screen.
    void restoreWindowPlace();
    // Keeps the window's place and the keyboard toggle for the next start.
    void keepWindowPlace();

    // Code page handlers (app/codepage.cpp).
    void btTextNewClick();
    void btTextOpenClick();
    void btTextSaveClick();
    void btTextOkClick();
    void btTextCancelClick();
    // The landscape Code page's toggle of the on-screen keyboard.
    void btKeysClick();
    // The code file chooser in place of the code view and the keys.
    void showCodeChooser(bool choosing);
    void edtFileChange(const QString &text);
    // The name field shows the name the code text belongs to.
    void showFileName();
    // Whenever the Code page shows its code view, the keys of a hardware
    // keyboard go to the code: after an overlay hides, a message box closes,
    // New, Open, Save and a switch back to the Code page.
    void giveCodeTheKeys();
    void pntProgMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x, double y);
    void pntProgMouseMove(Qt::KeyboardModifiers shift, double x, double y);
    void pntProgMouseUp();
    void pntProgMouseWheel(QPoint angleDelta, Qt::KeyboardModifiers shift);
    // autoRepeat and timestamp tell a held key's repeats from new presses.
    void FormKeyDown(int key, const QString &text, Qt::KeyboardModifiers shift, bool autoRepeat,
                     unsigned long timestamp);
    void FormKeyUp(int key, Qt::KeyboardModifiers shift, bool autoRepeat, unsigned long timestamp);
    void TabControl1Change(int index);
    // Gives every key the caption of the layer (1 or 2).
    void CaptionKeys(int layer);
    // The Code page is current with its code view shown (not the file
    // chooser) and no run view over it.
    bool codeViewShowing() const;
    // Hardware keys edit the code only while the code view shows and no
    // one-line edit has the focus.
    bool codeTakesKeys() const;
    void lstSelectClick(quill::PickMode mode, int index, const QString &item);
    // Escape closes the pick list as X does, else an open file chooser as
    // its Cancel does; returns whether it closed anything.
    bool closeOnEscape();

    // The on-screen keys (app/onscreenkeys.cpp). A key's tap edits the
    // one-line field that has the keys (a tap gave it the focus), else the
    // code. A finger's tap on a field where the keyboard does not show
    // brings the keyboard up at the foot of the window until the field lets
    // go of the keys.
    void keyTapped(const QString &caption);
    QLineEdit *fieldWithKeys() const;
    void fieldKeyTapped(QLineEdit *field, const QString &caption);
    // "Rt" in a field: the run view's width field resizes as Resize does;
    // every field then gives the keys back to the code.
    void fieldDone(QLineEdit *field);
    void fieldTapped(QWidget *field);
    void keysFollowFocus(QWidget *old, QWidget *now);
    void floatKeys();

    // The Sprite page's handlers (app/spritepage.cpp).
    void AllocateSpriteBuffers();
    void RefreshSprite();
    void repaintSpriteColours();
    void pntMainMouseDown(QPointF position);
    void pntMainMouseMove(QPointF position, bool leftHeld);
    void pntColorMouseDown(double x);
    void pntViewClick();
    void btGraAddClick();
    void btGraDelClick();
    void btGraBackClick();
    void btGraNextClick();
    void btGraCopyClick();
    void btGraPasteClick();
    void btGraPaintClick();
    void btGraRotateClick();
    void btGraFlipVClick();
    void btGraFlipHClick();
    void btGraShiftUClick();
    void btGraShiftRClick();
    void btGraShiftDClick();
    void btGraShiftLClick();
    void btGraDataClick();
    void btGraNewClick();
    void btGraOpenClick();
    void btGraSaveClick();
    void btGraOkClick();
    void btGraCancelClick();
    void choosePalette(const QString &name);
    void showSpriteChooser(bool choosing);
    void edtGraFileChange(const QString &text);
    // The sprite name field shows the name the sprite belongs to.
    void showSpriteName();
    // The sprite size follows the document's (Open, Un) for this run.
    void adoptDocumentSize();
    // Apply and Default's change of the sprite size.
    void resizeSprite(int size);

    // Run and the run overlay (app/runoverlay.cpp).
    void btRunClick();
    void btnRunCloseClick();
    void btnRunResizeClick();
    // A tap on the run view's error bar or on a console line of the program
    // closes the run and, for a line of the program, puts the cursor on it.
    void closeRunAt(int programLine);
    void goToProgramLine(int line);

    // System page (app/systempage.cpp).
    void LoadSystemPage();
    void btApplyClick();
    void btDefaultClick();
    void btWebsiteClick();
    void btExportClick();
    quill::SystemFields systemFields() const;
    quill::SystemPageEffects systemPageEffects();

    // The unsaved code and sprite go into the recovery journal a second after
    // a change (the timer starts at the first change after a write).
    void workChanged();
    void keepUnsavedWork();

    // The sprite size of the settings; a missing "sprite" means the default.
    int spriteSetting() const;
    // A numeric setting already repaired at start-up.
    int wholeSetting(const QString &key) const;
    quill::LayoutInput layoutInput() const;
    // Keeps the window from becoming smaller than its pages can be laid out
    // in; returns that minimum.
    QSize updateMinimumSize(const quill::LayoutInput &input);

    // Control creation and wiring, one function per page (each in its page's file).
    void createPages();
    void createCodePage(QWidget *page);
    void createKeyButtons();
    void createSpritePage(QWidget *page);
    void createHelpPage(QWidget *page);
    void createSystemPage(QWidget *page);
    void createOverlays();

    // The layout pass's application, one function per page. Both editor
    // pages share the file menu's row: New, Open, Save and the name field.
    void layoutFileMenu(QWidget *menu, QPushButton *newButton, QPushButton *openButton,
                        QPushButton *saveButton, QLineEdit *nameEdit);
    void layoutCodePage(const std::array<QString, quill::KeyCount> &captions);
    void layoutSpritePage();
    void layoutHelpPage();
    void layoutSystemPage();
    void layoutOverlays();

    quill::MessageSink *messages_ = nullptr;
    // The receiver of every signal the window handles. The destructor ends it
    // before any member goes: QWidget's destructor, which runs after them,
    // still hides a window that shows (the focus leaves its field, which
    // QApplication announces) and deletes the controls, and no handler may
    // run on the members left behind.
    std::unique_ptr<QObject> handlers_ = std::make_unique<QObject>();

    // Application-wide state.
    quill::SettingsStore Settings;
    QStringList Keywords;
    quill::WorkspacePaths paths_;
    quill::LayoutResult layout_;
    bool ShiftState = false;
    bool keyboardHidden_ = false;  // the landscape layout's keyboard toggle
    bool screenWatched_ = false;   // a move to another screen lays the pages out again
    int SpriteSize = quill::DefaultSpriteSize;
    // The sprite document, palette and tools (AllocateSpriteBuffers makes it).
    std::unique_ptr<quill::SpriteEditor> spriteEditor_;

    // The code editor: CodeLines with cursor, scroll window and selection,
    // the command table, the code files, Ctrl shortcuts and the view's drag.
    quill::CodeBuffer program_;
    quill::KeyCommands commands_{program_, *this, *this};
    quill::ChoiceCommands choices_{program_, *this, *this};
    quill::CodeFiles programFiles_;
    quill::CtrlShortcuts shortcuts_;
    quill::CodeDrag drag_;
    quill::CodeWheel wheel_;

    // Pages.
    QTabWidget *TabControl1 = nullptr;
    QWidget *TabItem1 = nullptr;
    QWidget *TabItem2 = nullptr;
    QWidget *TabItem3 = nullptr;
    QWidget *TabItem4 = nullptr;
    quill::CodePageControls codePage_;
    quill::SpritePageControls spritePage_;
    QPlainTextEdit *Memo1 = nullptr;  // the Help page
    quill::SystemPageControls systemPage_;

    // The recovery journal of the unsaved code and sprite.
    std::unique_ptr<quill::UnsavedWork> unsavedWork_;
    QTimer *journalTimer_ = nullptr;

    // Fingers on the one-line fields, and the field the keyboard floats for.
    quill::TouchTaps *fieldTaps_ = nullptr;
    QPointer<QLineEdit> keysFloatFor_;

    // Overlays.
    quill::PickList *PickList = nullptr;
    quill::RunView *runView_ = nullptr;
    quill::RunViewState runState_;  // RunActive and the overlay's state
};
