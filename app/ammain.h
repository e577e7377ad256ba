#pragma once

#include "base/constants.h"
#include "base/messagesink.h"
#include "base/settingsstore.h"
#include "base/workspace.h"
#include "app/handlerboundary.h"
#include "app/layoutscreen.h"
#include "editor/codebuffer.h"
#include "editor/pickmode.h"
#include "sprite/spriteeditor.h"

#include <QWidget>
#include <array>
#include <memory>

class QLineEdit;
class QTabWidget;

namespace quill {
class CodePage;
class HelpPage;
class KeysForFields;
class PickList;
class RunOverlay;
class SpritePage;
class SystemPage;
class UnsavedWork;
}

// The main window, the hall of the pages. It holds the application-wide
// state (settings, keywords, workspace paths, the code buffer, the sprite
// editor, the layout measures), the tab control with the Code, Sprite, Help
// and System pages, the pick list, the run overlay and the message sink; it
// takes the window's keys, resizes and close, and carries what crosses from
// one room to another. Each page owns its controls and handlers.
//
//   TfrmMain window;          // runs the start-up sequence
//   window.show();
//
// Messages for the user go to the MessageSink given to the constructor, or to
// a modal box with one OK button when none is given.
class TfrmMain : public QWidget, private quill::MessageSink {
    Q_OBJECT

public:
    // Where the window opens when no place was kept.
    static constexpr int DesignTop = 32;

    // Runs the start-up sequence; a QuillError that ends it leaves the
    // constructor, so the process entry reports it and the window never shows.
    explicit TfrmMain(quill::MessageSink *messages = nullptr, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The layout pass: measures the client area and lays every room out.
    void LayoutScreen();

    const quill::SettingsStore &settings() const { return Settings; }
    const QStringList &keywords() const { return Keywords; }
    const quill::WorkspacePaths &paths() const { return paths_; }
    const quill::LayoutResult &layout() const { return layout_; }
    const quill::CodeBuffer &program() const { return program_; }
    const quill::SpriteEditor &spriteEditor() const { return spriteEditor_; }
    int spriteSize() const { return spriteEditor_.document().spriteSize(); }
    quill::CodePage &codePage() const { return *codePage_; }
    quill::SpritePage &spritePage() const { return *spritePage_; }
    quill::RunOverlay &runOverlay() const { return *runOverlay_; }
    // Where the recovery journal, the window's place and the keyboard toggle are kept.
    QString journalFolder() const;
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

    void createRooms();
    void FormCreate();
    void FormClose();
    void FormResize();
    void FormKeyDown(int key, const QString &text, Qt::KeyboardModifiers shift, bool autoRepeat,
                     unsigned long timestamp);
    void FormKeyUp(int key, Qt::KeyboardModifiers shift, bool autoRepeat, unsigned long timestamp);
    void TabControl1Change(int index);
    void lstSelectClick(quill::PickMode mode, int index, const QString &item);
    // Escape closes the pick list as X does, else an open file chooser as
    // its Cancel does; returns whether it closed anything.
    bool closeOnEscape();
    // The run's error or console line: the Code page, the cursor on the line.
    void showProgramLine(int line);
    // "Rt" in a field: the run view's width resizes as Resize does; every
    // field then gives the keys back to the code.
    void fieldDone(QLineEdit *field);
    // The landscape layout's keyboard shown or hidden, kept for the next start.
    void toggleKeyboard();

    quill::LayoutInput layoutInput() const;
    // Keeps the window from becoming smaller than its pages can be laid out
    // in; returns that minimum.
    QSize updateMinimumSize(const quill::LayoutInput &input);

    quill::MessageSink *messages_ = nullptr;
    // Every signal the window and its rooms handle; ended first in the destructor.
    quill::Handlers handlers_;

    quill::SettingsStore Settings;
    QStringList Keywords;
    quill::WorkspacePaths paths_;
    quill::LayoutResult layout_;
    bool keyboardHidden_ = false;  // the landscape layout's keyboard toggle
    bool screenWatched_ = false;   // a move to another screen lays the pages out again
    quill::CodeBuffer program_;
    quill::SpriteEditor spriteEditor_{quill::DefaultSpriteSize};
    std::unique_ptr<quill::UnsavedWork> unsavedWork_;  // follows the code and the sprite

    QTabWidget *TabControl1 = nullptr;
    quill::CodePage *codePage_ = nullptr;
    quill::SpritePage *spritePage_ = nullptr;
    quill::HelpPage *helpPage_ = nullptr;
    quill::SystemPage *systemPage_ = nullptr;
    quill::PickList *PickList = nullptr;
    quill::RunOverlay *runOverlay_ = nullptr;
    std::unique_ptr<quill::KeysForFields> fieldKeys_;
};
