#pragma once

#include "base/workspace.h"
#include "app/layoutscreen.h"

#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace quill {

class CodeBuffer;
class Handlers;
class SettingsStore;
struct SystemFields;
struct SystemPageEffects;

// What the System page reaches outside itself.
struct SystemPageCrossings {
    // The sprite's size now, and a change of it (the drawing replaced by an
    // empty sprite, which Un brings back).
    std::function<int()> spriteSize;
    std::function<void(int size)> resizeSprite;
    // The keyboard back to its first layer.
    std::function<void()> unshift;
    // The layout pass.
    std::function<void()> layoutScreen;
    // The key panel's width now, for the key height Default installs.
    std::function<int()> keyPanelWidth;
    // Quit: the window closes.
    std::function<void()> quit;
};

// The System page (TabItem4): the layout and export settings with Default
// and Apply, Export, Website and Quit, on a sheet that scrolls where the page
// is smaller than its controls need.
//
//   SystemPage page(settings, keywords, paths, program, crossings, handlers);
//   page.LoadSystemPage();
class SystemPage : public QWidget {
    Q_OBJECT

public:
    SystemPage(SettingsStore &settings, QStringList &keywords, const WorkspacePaths &paths,
               const CodeBuffer &program, SystemPageCrossings crossings, Handlers &handlers,
               QWidget *parent = nullptr);

    void layoutPage(const LayoutResult &layout);
    // The settings into the fields.
    void LoadSystemPage();

private:
    void btApplyClick();
    void btDefaultClick();
    void btExportClick();
    void btWebsiteClick();
    void btQuitClick();
    SystemFields systemFields() const;
    SystemPageEffects systemPageEffects();

    SettingsStore &Settings;
    QStringList &Keywords;
    WorkspacePaths paths_;
    const CodeBuffer &program_;
    SystemPageCrossings crossings_;
    Handlers &handlers_;

    QScrollArea *scroller_ = nullptr;
    QWidget *sheet_ = nullptr;
    // Every control with its label, indexed by SystemControl.
    std::array<QWidget *, SystemControlCount> placed_{};
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
};

} // namespace quill
