#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QWebEngineProfile;
class QWebEngineView;

namespace quill {

class RemoteBlocker;
class RunPage;

// The run overlay above the pages (pnlRun): the run bar with Close, Resize,
// the width field and a frames-per-second counter, a thin error bar under it,
// and the web view where the page runs. The web view, its profile and the
// engine's processes are made at the first Run, so that starting the program
// starts nothing of the web engine.
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
    static constexpr int ErrorBarHeight = 30;

    explicit RunView(QWidget *parent = nullptr);
    ~RunView() override;

    // Fills the parent's client area, the bar across its top.
    void layoutView(const QRect &clientArea);

    // Shows the overlay and navigates to the page (made on the first call).
    // workspaceDir: the folder whose pages the view may show, ending in "/".
    void showPage(const QUrl &page, const QString &workspaceDir);
    // Stops what the view is loading and loads the blank page (which gets no
    // frame counter; the next showPage puts it back).
    void loadBlank(const QUrl &blank);
    // The first run error of the page shown ("" hides the bar).
    void showError(const QString &text);

    QWidget *bar() const { return pnlRunBtns; }
    QPushButton *closeButton() const { return btnRunClose; }
    QPushButton *resizeButton() const { return btnRunResize; }
    QLineEdit *widthEdit() const { return edtRunWidth; }
    QLabel *framesLabel() const { return lblRunFps; }
    QPushButton *errorBar() const { return btnRunError; }
    // Null until the first Run.
    QWebEngineView *webView() const { return webRun; }

signals:
    // The web view finished a load (the page's, or the blank page's).
    void loadFinished(bool ok);
    // An error the page reported: its text, and the page line and script
    // address it came from.
    void pageError(const QString &message, int line, const QString &source);

private:
    void createWebView(const QString &workspaceDir);
    void consoleMessage(int level, const QString &message, int line, const QString &source);
    // Counts the frames of the pages loaded from now on, or of none.
    void setFrameCounter(bool counting);
    void placeChildren();

    QWidget *pnlRunBtns = nullptr;
    QPushButton *btnRunClose = nullptr;
    QPushButton *btnRunResize = nullptr;
    QLineEdit *edtRunWidth = nullptr;
    QLabel *lblRunFps = nullptr;
    QPushButton *btnRunError = nullptr;
    QWebEngineView *webRun = nullptr;
    QWebEngineProfile *profile_ = nullptr;
    RemoteBlocker *blocker_ = nullptr;
    RunPage *page_ = nullptr;
    QTimer *counterStart_ = nullptr;
    bool counting_ = false;
};

} // namespace quill
