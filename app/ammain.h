#pragma once

#include "app/layoutscreen.h"
#include "app/base/messagesink.h"
#include "app/base/settingsstore.h"
#include "app/base/workspace.h"

#include <QStringList>
#include <QWidget>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace quill {
class CodeView;
class KeyButton;
}

// The one main window: it owns the application-wide state (settings,
// keywords, workspace paths, layout measures, keyboard layer, sprite size)
// and every control of the four pages and the two overlays. Handlers keep the
// names of the window's design and delegate to the models; the layout pass
// only applies the rectangles that quill::layoutScreen computes.
//
//   TfrmMain window;          // runs the start-up sequence
//   window.show();
//
// Messages for the user go to the MessageSink given to the constructor, or to
// a modal box with one OK button when none is given.
class TfrmMain : public QWidget, private quill::MessageSink {
    Q_OBJECT

public:
    // Design size of the client area and place of the window.
    static constexpr int DesignClientWidth = 384;
    static constexpr int DesignClientHeight = 567;
    static constexpr int DesignTop = 32;

    // Runs the start-up sequence; a QuillError that ends it leaves the
    // constructor, so the process entry reports it and the window never shows.
    explicit TfrmMain(quill::MessageSink *messages = nullptr, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The one entry point of all code editing: an on-screen key passes the
    // caption it shows ("&&" for the ampersand key). Virtual so that a test can
    // watch what the keys send.
    virtual void RunKeyCommand(const QString &caption);

    // The layout pass: measures the client area and places every control.
    void LayoutScreen();

    const quill::SettingsStore &settings() const { return Settings; }
    const QStringList &keywords() const { return Keywords; }
    const quill::WorkspacePaths &paths() const { return Paths; }
    const quill::LayoutResult &layout() const { return Layout; }
    const std::array<quill::KeyButton *, quill::KeyCount> &keyButtons() const { return KeyButtons; }
    int spriteWidth() const { return SpriteWidth; }
    int spriteHeight() const { return SpriteHeight; }
    bool shiftState() const { return ShiftState; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void showMessage(const QString &text) override;

    void FormCreate();
    void FormClose();
    void FormResize();
    void btQuitClick();

    // Shows a model's error at the boundary of the handler that met it.
    template <typename Handler> void guarded(Handler &&handler);

    // The key panel width that the installation and the setting repair scale
    // the key height with: the arithmetic's, for the current client size.
    int keyPanelWidth() const;
    // A repaired numeric setting; throws QuillError if it is not a whole number.
    int wholeSetting(const QString &key) const;

    // Control creation, one function per page (each in its page's file).
    void createPages();
    void createCodePage(QWidget *page);
    void createKeyButtons();
    void createSpritePage(QWidget *page);
    void createHelpPage(QWidget *page);
    void createSystemPage(QWidget *page);
    void createPickList();
    void createRunOverlay();

    // The layout pass's application, one function per page.
    void layoutCodePage(const std::array<QString, quill::KeyCount> &captions);
    void layoutSpritePage();
    void layoutHelpPage();
    void layoutSystemPage();
    void layoutOverlays();

    quill::MessageSink *Messages = nullptr;

    // Application-wide state.
    quill::SettingsStore Settings;
    QStringList Keywords;
    quill::WorkspacePaths Paths;
    quill::LayoutResult Layout;
    bool ShiftState = false;
    int SpriteWidth = 16;
    int SpriteHeight = 16;
    int CursorLine = 0;
    int CursorColumn = 0;
    int TopLine = 0;
    int LeftColumn = 0;

    // Pages.
    QTabWidget *TabControl1 = nullptr;
    QWidget *TabItem1 = nullptr;
    QWidget *TabItem2 = nullptr;
    QWidget *TabItem3 = nullptr;
    QWidget *TabItem4 = nullptr;

    // Code page.
    QWidget *pnlBasMenu = nullptr;
    QPushButton *btTextNew = nullptr;
    QPushButton *btTextOpen = nullptr;
    QPushButton *btTextSave = nullptr;
    QLineEdit *edtFile = nullptr;
    QPushButton *btRun = nullptr;
    quill::CodeView *pntProg = nullptr;
    QLabel *imgFonts = nullptr;
    QWidget *pnlBasfiles = nullptr;
    QListWidget *lstBasfiles = nullptr;
    QPushButton *btTextOk = nullptr;
    QPushButton *btTextCancel = nullptr;
    QPushButton *btTextDelete = nullptr;
    QWidget *pnlKeys = nullptr;
    std::array<quill::KeyButton *, quill::KeyCount> KeyButtons{};

    // Sprite page.
    QWidget *pnlGraMenu = nullptr;
    QPushButton *btGraNew = nullptr;
    QPushButton *btGraOpen = nullptr;
    QPushButton *btGraSave = nullptr;
    QLineEdit *edtGraFile = nullptr;
    QLabel *lblCel = nullptr;
    QWidget *pnlGraFiles = nullptr;
    QListWidget *lstGrafiles = nullptr;
    QPushButton *btGraOk = nullptr;
    QPushButton *btGraCancel = nullptr;
    QPushButton *btGraDelete = nullptr;
    QWidget *pntMain = nullptr;
    QWidget *pnlGraTools = nullptr;
    QWidget *pntColor = nullptr;
    QWidget *pntView = nullptr;
    // In the order of LayoutResult::toolButtons.
    std::array<QPushButton *, quill::ToolButtonCount> ToolButtons{};

    // Help page.
    QPlainTextEdit *Memo1 = nullptr;

    // System page.
    QLineEdit *edtWidth = nullptr;
    QLineEdit *edtKeyHeight = nullptr;
    QLineEdit *edtCommand = nullptr;
    QLineEdit *edtSpriteSize = nullptr;
    QLineEdit *edtOpenmsxdir = nullptr;
    QPushButton *btDefault = nullptr;
    QPushButton *btApply = nullptr;
    QCheckBox *chkGfx9000 = nullptr;
    QPushButton *btExport = nullptr;
    QPushButton *btWebsite = nullptr;
    QPushButton *btQuit = nullptr;

    // Pick list overlay.
    QWidget *pnlSelect = nullptr;
    QListWidget *lstSelect = nullptr;
    QPushButton *btnSelCancel = nullptr;

    // Run overlay (its web view is made at the first Run).
    QWidget *pnlRun = nullptr;
    QWidget *pnlRunBtns = nullptr;
    QPushButton *btnRunClose = nullptr;
    QPushButton *btnRunResize = nullptr;
    QLineEdit *edtRunWidth = nullptr;
};
