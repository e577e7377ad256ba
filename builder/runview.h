#pragma once

#include "builder/pagemessage.h"

#include <QColor>
#include <QString>
#include <QUrl>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QWebEngineProfile;
class QWebEngineView;

namespace quill {

class RemoteBlocker;
class RunConsoleStrip;
class RunErrorBar;
class RunPage;

// The run overlay above the pages (pnlRun): the run bar with Close, Resize,
// the width field, a frames-per-second counter and the Console switch; the
// error bar under it; the web view where the page runs; and, while switched
// on, the console strip along the bottom. Everything is laid out from the
// view's size. The web view, its profile and the engine's processes are made
// at the first Run, so that starting the program starts nothing of the web
// engine.
//
// Every page the view shows gets the page probe (builder/pageprobe.h): the
// frame counter shows the frames of the page's own frame loop, and nothing
// until that loop has run; what the page writes and throws is passed on as
// pageMessage. The page file never holds the probe.
//
// The view reaches no network (a request blocker for http, https, ws, wss and
// ftp on its own profile, remote access off) and its main frame stays on the
// workspace's pages; file pages may load the workspace's files, and sound
// plays without a tap first.
class RunView : public QWidget {
    Q_OBJECT

public:
    static constexpr int BarHeight = 45;
    static constexpr int ButtonWidth = 73;
    // The error bar's height for one line; longer errors take more lines.
    static constexpr int ErrorBarHeight = 30;

    explicit RunView(QWidget *parent = nullptr);
    ~RunView() override;

    // Fills the parent's client area, the bar across its top.
    void layoutView(const QRect &clientArea);

    // Shows the overlay and navigates to the page (made on the first call).
    // workspaceDir: the folder whose pages the view may show, ending in "/".
    // A 3D page sizes its drawing from the view's width alone, three
    // quarters of it high: it gets the widest 4:3 area the view holds
    // (pageArea), so that nothing of it is cut off and no scroll bar shows.
    void showPage(const QUrl &page, const QString &workspaceDir, bool threeD = false);

    // Where the web view goes in the space between the bars and the console
    // strip: all of it, or for a 3D page a 4:3 area at its left, as a 2D
    // page puts its play area; the rest shows the pages' own backdrop colour.
    static QRect pageArea(const QRect &space, bool threeD);
    static constexpr QRgb BackdropColour = 0xFF000088u;
    // Stops what the view is loading and loads the blank page; what the page
    // that made way for it still reports is not shown.
    void loadBlank(const QUrl &blank);
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
    // Null until the first Run.
    QWebEngineView *webView() const { return webRun; }

signals:
    // The web view finished a load (the page's, or the blank page's).
    void loadFinished(bool ok);
    // A line the page wrote to its console, or an error it threw.
    void pageMessage(const quill::PageMessage &message);

private:
    void createWebView(const QString &workspaceDir);
    void consoleMessage(int level, const QString &message, int line, const QString &source);
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
    QWebEngineView *webRun = nullptr;
    QWebEngineProfile *profile_ = nullptr;
    RemoteBlocker *blocker_ = nullptr;
    RunPage *page_ = nullptr;
    bool showing_ = false;  // a page is shown, not the blank one
    bool threeD_ = false;
};

} // namespace quill
