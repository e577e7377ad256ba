#include "builder/runview.h"

#include "base/controls/controls.h"
#include "builder/remoteblocker.h"
#include "builder/runpage.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace quill {

namespace {

// What the frame counter writes to the console, followed by the count.
const QString FramesMark = QStringLiteral("\x01quill-frames ");
// The counter starts this long after a page has loaded: a world of its own
// made any earlier would hold up the page's first frames, and it reports
// once a second anyway.
constexpr int FrameCounterDelayMs = 500;

// Counts the page's animation frames and reports them once a second. It runs
// in a world of its own, so the page's scripts neither see nor disturb it,
// and it lives only in the view: the page file never holds it.
QString frameCounterScript()
{
    return QStringLiteral("(() => {"
                          "  let frames = 0;"
                          "  const tick = () => { frames++; requestAnimationFrame(tick); };"
                          "  requestAnimationFrame(tick);"
                          "  setInterval(() => { console.debug('%1' + frames); frames = 0; }, 1000);"
                          "})();")
        .arg(FramesMark);
}

constexpr int FramesLeft = 150;
constexpr int FramesWidth = 80;

} // namespace

RunView::RunView(QWidget *parent) : QWidget(parent)
{
    named(this, "pnlRun", QStringLiteral("Run view"));
    setAutoFillBackground(true);
    hide();
    pnlRunBtns = makePanel(this, "pnlRunBtns", QStringLiteral("Run bar"));
    btnRunClose = makeButton(pnlRunBtns, "btnRunClose", QStringLiteral("Close"));
    btnRunResize = makeButton(pnlRunBtns, "btnRunResize", QStringLiteral("Resize"), 0, 0,
                              ButtonWidth, BarHeight);
    btnRunResize->hide();
    edtRunWidth = named(new QLineEdit(QStringLiteral("512"), pnlRunBtns), "edtRunWidth",
                        QStringLiteral("Run width"));
    edtRunWidth->setGeometry(76, 8, 65, 32);
    edtRunWidth->hide();
    lblRunFps = named(new QLabel(pnlRunBtns), "lblRunFps", QStringLiteral("Frames per second"));
    lblRunFps->setGeometry(FramesLeft, 0, FramesWidth, BarHeight);
    btnRunError = makeButton(this, "btnRunError", QString());
    btnRunError->setAccessibleName(QStringLiteral("Run error"));
    btnRunError->setFlat(true);
    btnRunError->setStyleSheet(
        QStringLiteral("QPushButton { background: #b00020; color: white; text-align: left;"
                       " padding: 0 6px; border: none; }"));
    btnRunError->hide();
}

RunView::~RunView()
{
    // The page must go before its profile.
    delete webRun;
    delete page_;
}

void RunView::layoutView(const QRect &clientArea)
{
    setGeometry(clientArea);
    placeChildren();
}

void RunView::placeChildren()
{
    const int width = this->width();
    pnlRunBtns->setGeometry(0, 0, width, BarHeight);
    btnRunClose->setGeometry(width - ButtonWidth, 0, ButtonWidth, BarHeight);
    int top = BarHeight;
    if (btnRunError->isVisibleTo(this)) {
        btnRunError->setGeometry(0, top, width, ErrorBarHeight);
        top += ErrorBarHeight;
    }
    if (webRun)
        webRun->setGeometry(0, top, width, std::max(0, height() - top));
}

void RunView::createWebView(const QString &workspaceDir)
{
    profile_ = new QWebEngineProfile(this);  // off the record: nothing kept on disk
    blocker_ = new RemoteBlocker(profile_);
    profile_->setUrlRequestInterceptor(blocker_);

    page_ = new RunPage(profile_, workspaceDir);
    QWebEngineSettings *settings = page_->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    settings->setAttribute(QWebEngineSettings::WebGLEnabled, true);
    settings->setAttribute(QWebEngineSettings::Accelerated2dCanvasEnabled, true);

    connect(page_, &RunPage::consoleMessage, this,
            [this](QWebEnginePage::JavaScriptConsoleMessageLevel level, const QString &message,
                   int line, const QString &source) {
                consoleMessage(static_cast<int>(level), message, line, source);
            });

    webRun = named(new QWebEngineView(this), "webRun", QStringLiteral("Running program"));
    webRun->setPage(page_);
    connect(webRun, &QWebEngineView::loadFinished, this, &RunView::loadFinished);
    // Every page the view counts gets its counter once loaded, also when it
    // reloads itself; a load that begins meanwhile, or the end of counting,
    // cancels the start.
    counterStart_ = new QTimer(this);
    counterStart_->setSingleShot(true);
    counterStart_->setInterval(FrameCounterDelayMs);
    connect(counterStart_, &QTimer::timeout, this, [this] {
        page_->runJavaScript(frameCounterScript(), QWebEngineScript::ApplicationWorld);
    });
    connect(webRun, &QWebEngineView::loadStarted, counterStart_, qOverload<>(&QTimer::stop));
    connect(webRun, &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (ok && counting_)
            counterStart_->start();
    });
    placeChildren();
    webRun->show();
}

void RunView::showPage(const QUrl &page, const QString &workspaceDir)
{
    if (!webRun)
        createWebView(workspaceDir);
    showError(QString());
    // Clearing an empty label still repaints the whole window, and with the
    // web view in it that is a composition the navigation below would wait for.
    if (!lblRunFps->text().isEmpty())
        lblRunFps->clear();
    show();
    // Raising a view that is already on top still repaints all of it.
    if (parentWidget() && parentWidget()->children().constLast() != this)
        raise();
    setFrameCounter(true);
    webRun->load(page);
    webRun->setFocus();
}

void RunView::loadBlank(const QUrl &blank)
{
    if (!webRun)
        return;
    webRun->stop();
    lblRunFps->clear();
    // The blank page is not counted: its endless frame loop would keep the
    // view animating, and the next page's first frame would come later.
    setFrameCounter(false);
    webRun->load(blank);
}

void RunView::setFrameCounter(bool counting)
{
    counting_ = counting;
    if (!counting)
        counterStart_->stop();
}

void RunView::showError(const QString &text)
{
    if (text == btnRunError->text() && btnRunError->isVisibleTo(this) == !text.isEmpty())
        return;
    btnRunError->setText(text);
    btnRunError->setVisible(!text.isEmpty());
    placeChildren();
}

void RunView::consoleMessage(int level, const QString &message, int line, const QString &source)
{
    if (message.startsWith(FramesMark)) {
        // A count the page sent before it made way for the blank page is stale.
        if (counting_)
            lblRunFps->setText(QStringLiteral("%1 fps").arg(message.mid(FramesMark.size())));
        return;
    }
    if (level == QWebEnginePage::ErrorMessageLevel)
        emit pageError(message, line, source);
}

} // namespace quill
