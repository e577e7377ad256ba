#pragma once

#include "builder/pagemessage.h"
#include "builder/runlog.h"
#include "builder/runpage.h"

#include <QColor>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QWebEngineProfile;
class QWebEngineView;

namespace quill {

class RemoteBlocker;
class RunConsoleStrip;
class RunErrorBar;

// The run overlay above the pages (pnlRun): the run bar with Close, Resize,
// the width field, a frames-per-second counter and the Console switch; the
// error bar under it; the page's dialogs under that; the web view where the
// page runs; and, while switched on, the console strip along the bottom.
// Everything is laid out from the view's size. The web view, its profile and
// the engine's processes are made at the first Run, so that starting the
// program starts nothing of the web engine.
//
// Every page the view shows gets the page probe (builder/pageprobe.h): the
// frame counter shows the frames of the page's own frame loop, and nothing
// until that loop has run; what the page writes and throws goes into the
// run's log (RunLog), which the console strip follows, and its first error
// onto the error bar; each message is also passed on as pageMessage. The page
// file never holds the probe. A tap on the error bar or on a console line of
// the program asks, by lineChosen, for the run to close there; holding the
// bar asks for the whole error to be shown (wholeErrorAsked).
//
// The view reaches no network and no local file outside the workspace (a
// request blocker on its own profile that also sees what dedicated workers
// ask for, remote access off, every frame kept on the workspace's pages, no
// folder listing); what no request check follows is taken from every page
// and frame (builder/pageseal.h: peer connections, shared and service
// workers, popups; besides the switches of runViewChromiumSwitches). File
// pages may load the workspace's files, and sound plays without a tap first.
//
// A page never holds the view: its dialogs are shown in the view, and a
// page that does not make way for the blank page in time (a busy loop, a
// chain of dialogs) is replaced with its renderer, so the next Run always
// finds a page that works.
class RunView : public QWidget {
    Q_OBJECT

public:
    static constexpr int BarHeight = 45;
    static constexpr int ButtonWidth = 73;
    // The error bar's height for one line; longer errors take more lines.
    static constexpr int ErrorBarHeight = 30;
    static constexpr int DialogHeight = 90;
    // How long a closed page has to load the blank page before it is replaced.
    static constexpr int CloseGraceMs = 1000;

    explicit RunView(QWidget *parent = nullptr);
    ~RunView() override;

    // Fills the parent's client area, the bar across its top.
    void layoutView(const QRect &clientArea);

    // Shows the overlay and navigates to the page (made on the first call).
    // workspaceDir: the folder whose pages the view may show, ending in "/".
    // A page still closing is replaced first. A 3D page sizes its drawing
    // from the view's width alone, three quarters of it high: it gets the
    // widest 4:3 area the view holds (pageArea), so that nothing of it is
    // cut off and no scroll bar shows. The run's log starts over with the
    // page's places, by which its messages find the user's lines.
    void showPage(const QUrl &page, const QString &workspaceDir, bool threeD = false,
                  RunPlaces places = {});

    // Where the web view goes in the space between the bars and the console
    // strip: all of it, or for a 3D page a 4:3 area at its left, as a 2D
    // page puts its play area; the rest shows the pages' own backdrop colour.
    static QRect pageArea(const QRect &space, bool threeD);
    static constexpr QRgb BackdropColour = 0xFF000088u;
    // Ends the page shown: a dialog it waits on is answered, and it loads the
    // blank page; a page waiting on a dialog, or one whose blank page has not
    // loaded after CloseGraceMs, is replaced by a fresh page and its renderer
    // ends. Returns at once. What the closing page still reports is not
    // shown. Hiding the overlay is the caller's.
    void closePage(const QUrl &blank);
    // The first run error of the page shown ("" hides the bar) and the count
    // of the errors after it.
    void showError(const QString &text, int furtherErrors = 0);

    bool consoleOpen() const;
    void setConsoleOpen(bool open);

    QWidget *bar() const { return pnlRunBtns; }
    QPushButton *closeButton() const { return btnRunClose; }
    QPushButton *resizeButton() const { return btnRunResize; }
    QPushButton *consoleButton() const { return btnRunConsole; }
    QLineEdit *widthEdit() const { return edtRunWidth; }
    QLabel *framesLabel() const { return lblRunFps; }
    RunErrorBar *errorBar() const { return btnRunError; }
    RunConsoleStrip *consoleStrip() const { return lstRunConsole; }
    // The page's dialog: its panel, text, answer field (prompts) and buttons.
    QWidget *dialogPanel() const { return pnlRunDialog; }
    QLabel *dialogText() const { return lblRunDialog; }
    QLineEdit *dialogEdit() const { return edtRunDialog; }
    QPushButton *dialogOk() const { return btnRunDialogOk; }
    QPushButton *dialogCancel() const { return btnRunDialogCancel; }
    // Null until the first Run.
    QWebEngineView *webView() const { return webRun; }
    RunPage *page() const { return page_; }
    // What the page shown wrote and threw, at the program's lines.
    const RunLog &log() const { return runLog_; }

signals:
    // The web view finished a load (the page's, or the blank page's).
    void loadFinished(bool ok);
    // A line the page wrote to its console, or an error it threw.
    void pageMessage(const quill::PageMessage &message);
    // The error bar or a console line of the program was tapped: the run is
    // to close and, for a line of the program (-1: none), the code to show it.
    void lineChosen(int programLine);
    // The error bar was held: the whole first error, with the count of those
    // after it.
    void wholeErrorAsked(const QString &text);

private:
    void createWebView(const QString &workspaceDir);
    // A page with the run settings and the probe, connected to the view.
    RunPage *makePage();
    // The closed page has made way for the blank page.
    bool madeWayForBlank() const;
    // A fresh page in the view; the old one goes with its renderer, once
    // any dialog call of it has returned.
    void replacePage();
    void showDialog(RunPage::DialogKind kind, const QString &text, const QString &defaultValue);
    void answerDialog(bool accepted);
    void hideDialog();
    void consoleMessage(int level, const QString &message, int line, const QString &source);
    void logMessage(const PageMessage &message);
    void placeChildren();
    void paintEvent(QPaintEvent *event) override;

    QWidget *pnlRunBtns = nullptr;
    QPushButton *btnRunClose = nullptr;
    QPushButton *btnRunResize = nullptr;
    QPushButton *btnRunConsole = nullptr;
    QLineEdit *edtRunWidth = nullptr;
    QLabel *lblRunFps = nullptr;
    RunErrorBar *btnRunError = nullptr;
    RunConsoleStrip *lstRunConsole = nullptr;
    QWidget *pnlRunDialog = nullptr;
    QLabel *lblRunDialog = nullptr;
    QLineEdit *edtRunDialog = nullptr;
    QPushButton *btnRunDialogOk = nullptr;
    QPushButton *btnRunDialogCancel = nullptr;
    QWebEngineView *webRun = nullptr;
    RunLog runLog_;
    QWebEngineProfile *profile_ = nullptr;
    RemoteBlocker *blocker_ = nullptr;
    RunPage *page_ = nullptr;
    // Replaced pages not yet gone; they must go before the profile.
    std::vector<QPointer<RunPage>> retired_;
    QString workspaceDir_;
    QUrl blank_;  // the page a closed page makes way for
    QTimer *closeGrace_ = nullptr;
    bool showing_ = false;  // a page is shown, not the blank one
    bool threeD_ = false;
};

} // namespace quill
