#pragma once

#include "base/constants.h"
#include "base/controls/controls.h"
#include "base/workspace.h"
#include "app/layoutscreen.h"
#include "editor/choicecommands.h"
#include "editor/codefiles.h"
#include "editor/codetouch.h"
#include "editor/editorchoices.h"
#include "editor/hardwarekeys.h"
#include "editor/keyboardlayer.h"
#include "editor/keycommands.h"
#include "editor/windowstate.h"

#include <QWidget>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quill {

class CodeBuffer;
class CodeView;
class Handlers;
class KeyButton;
class KeyPanel;
class SettingsStore;

// What the Code page reaches outside itself.
struct CodePageCrossings {
    // The pick list, filled with the items and opened in the mode.
    std::function<void(PickMode mode, const QStringList &items)> offerChoices;
    // The keyword suggestions and the sprite size, as Ky and Sp use them.
    std::function<QStringList()> keywords;
    std::function<int()> spriteSize;
    // A key's tap for a one-line field that has the keys: true when the
    // field took it, false when the key is the code's.
    std::function<bool(const QString &caption)> typeIntoField;
    // The run view lies over the page.
    std::function<bool()> overlayShowing;
    // Run was tapped.
    std::function<void()> run;
    // Keys (the landscape layout's keyboard toggle) was tapped.
    std::function<void()> toggleKeyboard;
    // Save put the code into its file.
    std::function<void()> codeSaved;
};

// The Code page (TabItem1): the file menu (New, Open, Save, the name field,
// Run, and Keys in landscape), the code view, the code file chooser and the
// on-screen keyboard. Every key, on screen or on a hardware keyboard, edits
// the code through RunKeyCommand; the code view repaints when the code
// buffer announces a change.
//
//   CodePage page(program, settings, paths, crossings, handlers);
//   page.layoutPage(layout, captions);
//   page.RunKeyCommand(QStringLiteral("a"));
class CodePage : public QWidget, public KeyboardLayer, private EditorChoices, private WindowState {
    Q_OBJECT

public:
    CodePage(CodeBuffer &program, const SettingsStore &settings, const WorkspacePaths &paths,
             CodePageCrossings crossings, Handlers &handlers, QWidget *parent = nullptr);

    // Where every key edits the code: an on-screen key passes the caption it
    // shows ("&&" for the ampersand key), a hardware key the caption made
    // from it.
    void RunKeyCommand(const QString &caption);
    // Gives every key the caption of the layer (1 or 2).
    void CaptionKeys(int layer);
    bool shiftState() const override { return ShiftState; }
    void setShiftState(bool shifted) override;

    // Places the controls and captions the keys from the layer-1 captions.
    void layoutPage(const LayoutResult &layout, const std::array<QString, KeyCount> &captions);

    // A hardware key pressed and released while the window has the keys;
    // autoRepeat and timestamp tell a held key's repeats from new presses.
    // The keys edit the code only while codeTakesKeys().
    void keyDown(int key, const QString &text, Qt::KeyboardModifiers modifiers, bool autoRepeat,
                 unsigned long timestamp);
    void keyUp(int key, bool autoRepeat, unsigned long timestamp);
    // Keys let go while another window had the keyboard count as released.
    void keysLetGo() { shortcuts_.reset(); }

    // The code view shows (not the file chooser) and no run view lies over it.
    bool codeViewShowing() const;
    // Hardware keys edit the code: the code view shows and no one-line
    // edit has the focus.
    bool codeTakesKeys() const;
    // Whenever the code view shows, the keys of a hardware keyboard go to
    // the code: after an overlay hides, a message box closes, New, Open,
    // Save and a switch back to the page.
    void giveCodeTheKeys();

    // The pick list's choice in one of the code's modes.
    void choose(PickMode mode, int index, const QString &item);
    // The cursor on the line of the program, at its start.
    void goToProgramLine(int line);
    // The name field shows the name the code belongs to.
    void showFileName();
    // Escape: an open file chooser closes as its Cancel does.
    bool closeChooser();

    CodeView *codeView() const { return pntProg; }
    KeyPanel *keyPanel() const { return pnlKeys; }
    const std::array<KeyButton *, KeyCount> &keyButtons() const { return KeyButtons; }

private:
    void btTextNewClick();
    void btTextOpenClick();
    void btTextSaveClick();
    void btTextOkClick();
    void btTextCancelClick();
    void btKeysClick();
    void edtFileChange(const QString &text);
    void keyTapped(const QString &caption);
    void pntProgMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x, double y);
    void pntProgMouseMove(Qt::KeyboardModifiers shift, double x, double y);
    void pntProgMouseUp();
    void pntProgMouseWheel(QPoint angleDelta, Qt::KeyboardModifiers shift);
    // The code file chooser in place of the code view and the keys.
    void showCodeChooser(bool choosing);

    // The editor's reach: the pick list and the clipboard; the window's state.
    void offerChoices(PickMode mode, const QStringList &items) override;
    QString clipboardText() const override;
    void setClipboardText(const QString &text) override;
    QStringList keywords() const override;
    int spriteSize() const override;
    Mode windowMode() const override;
    void setWindowMode(Mode mode) override;

    CodeBuffer &program_;
    const SettingsStore &Settings;
    CodePageCrossings crossings_;
    Handlers &handlers_;
    LayoutResult layout_;
    bool ShiftState = false;

    KeyCommands commands_;
    ChoiceCommands choices_;
    CodeFiles programFiles_;
    CtrlShortcuts shortcuts_;
    CodeDrag drag_;
    CodeWheel wheel_;

    QWidget *pnlBasMenu = nullptr;
    QPushButton *btTextNew = nullptr;
    QPushButton *btTextOpen = nullptr;
    QPushButton *btTextSave = nullptr;
    QLineEdit *edtFile = nullptr;
    QPushButton *btRun = nullptr;
    QPushButton *btKeys = nullptr;  // shows and hides the keys; landscape only
    CodeView *pntProg = nullptr;
    QLabel *imgFonts = nullptr;
    FileChooser files_;  // pnlBasfiles, lstBasfiles, btTextOk, btTextCancel, btTextDelete
    KeyPanel *pnlKeys = nullptr;
    std::array<KeyButton *, KeyCount> KeyButtons{};  // [row x 10 + column]
};

} // namespace quill
