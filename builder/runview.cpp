#include "builder/runview.h"

#include "base/controls/controls.h"
#include "base/controls/shownvalue.h"
#include "builder/pageprobe.h"
#include "builder/pageseal.h"
#include "builder/remoteblocker.h"
#include "builder/runconsolestrip.h"
#include "builder/runerrorbar.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace quill {

namespace {

constexpr int FramesLeft = 150;
constexpr int FramesWidth = 80;

// The probe goes into the page's own world as the document is made, before
// any script of the page: only there does it see the page's errors, its
// console and its frame loop.
QWebEngineScript probeScript()
{
    QWebEngineScript probe;
    probe.setName(QStringLiteral("quill-page-probe"));
    probe.setInjectionPoint(QWebEngineScript::DocumentCreation);
    probe.setWorldId(QWebEngineScript::MainWorld);
    probe.setRunsOnSubFrames(false);
    probe.setSourceCode(pageProbeScript());
    return probe;
}

// The seal goes into every document of every frame as it is made, before
// the page's own scripts (the Chromium switches keep peer connections that
// might escape it from reaching anyone, and take shared workers everywhere).
QWebEngineScript sealScript()
{
    QWebEngineScript script;
    script.setName(QStringLiteral("quill-page-seal"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    script.setSourceCode(pageSealScript());
    return script;
}

PageMessage::Level messageLevel(int level)
{
    switch (level) {
    case QWebEnginePage::ErrorMessageLevel:
        return PageMessage::Level::Error;
    case QWebEnginePage::WarningMessageLevel:
        return PageMessage::Level::Warning;
    default:
        return PageMessage::Level::Log;
    }
}

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
    btnRunConsole = makeButton(pnlRunBtns, "btnRunConsole", QStringLiteral("Console"));
    btnRunConsole->setCheckable(true);
    edtRunWidth = makeLineEdit(pnlRunBtns, "edtRunWidth", QStringLiteral("Run width"),
                               QStringLiteral("512"));
    edtRunWidth->setGeometry(76, 8, 65, 32);
    edtRunWidth->hide();
    lblRunFps = makeValueLabel(pnlRunBtns, "lblRunFps", QStringLiteral("Frames per second"));
    btnRunError = new RunErrorBar(this);
    btnRunError->hide();
    lstRunConsole = new RunConsoleStrip(this);
    lstRunConsole->hide();
    lstRunConsole->setLog(&runLog_);
    connect(btnRunConsole, &QPushButton::toggled, this, &RunView::setConsoleOpen);
    connect(btnRunError, &QPushButton::clicked, this, [this] {
        emit lineChosen(runLog_.firstError() ? runLog_.firstError()->programLine : -1);
    });
    connect(btnRunError, &RunErrorBar::held, this, [this] {
        if (!runLog_.firstError())
            return;
        const int further = runLog_.furtherErrors();
        emit wholeErrorAsked(runLog_.firstError()->text
                             + (further > 0 ? u'\n' + furtherErrorsText(further) + u'.' : QString()));
    });
    connect(lstRunConsole, &RunConsoleStrip::programLineTapped, this, &RunView::lineChosen);

    pnlRunDialog = makePanel(this, "pnlRunDialog", QStringLiteral("Page dialog"), true);
    lblRunDialog = makeValueLabel(pnlRunDialog, "lblRunDialog", QStringLiteral("Page message"));
    lblRunDialog->setWordWrap(true);
    lblRunDialog->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    edtRunDialog = makeLineEdit(pnlRunDialog, "edtRunDialog", QStringLiteral("Page answer"));
    btnRunDialogOk = makeButton(pnlRunDialog, "btnRunDialogOk", QStringLiteral("OK"));
    btnRunDialogCancel = makeButton(pnlRunDialog, "btnRunDialogCancel", QStringLiteral("Cancel"));
    pnlRunDialog->hide();
    connect(btnRunDialogOk, &QPushButton::clicked, this, [this] { answerDialog(true); });
    connect(btnRunDialogCancel, &QPushButton::clicked, this, [this] { answerDialog(false); });
    connect(edtRunDialog, &QLineEdit::returnPressed, this, [this] { answerDialog(true); });

    closeGrace_ = new QTimer(this);
    closeGrace_->setSingleShot(true);
    closeGrace_->setInterval(CloseGraceMs);
    connect(closeGrace_, &QTimer::timeout, this, [this] {
        if (!madeWayForBlank())
            replacePage();
    });
}

RunView::~RunView()
{
    // The pages must go before their profile.
    delete webRun;
    for (const QPointer<RunPage> &page : retired_)
        delete page.data();
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
    const int height = this->height();
    pnlRunBtns->setGeometry(0, 0, width, BarHeight);
    btnRunClose->setGeometry(width - ButtonWidth, 0, ButtonWidth, BarHeight);
    const int consoleLeft = width - 2 * ButtonWidth;
    btnRunConsole->setGeometry(consoleLeft, 0, ButtonWidth, BarHeight);
    lblRunFps->setGeometry(FramesLeft, 0, std::clamp(consoleLeft - FramesLeft, 0, FramesWidth),
                           BarHeight);

    // The error bar and the console strip take at most a third of the view
    // each; the web view keeps the rest.
    const int third = height / 3;
    int top = BarHeight;
    if (btnRunError->isVisibleTo(this)) {
        const int errorHeight =
            std::min(std::max(ErrorBarHeight, btnRunError->heightForWidth(width)), third);
        btnRunError->setGeometry(0, top, width, errorHeight);
        top += errorHeight;
    }
    int bottom = height;
    if (lstRunConsole->isVisibleTo(this)) {
        bottom = std::max(top, height - third);
        lstRunConsole->setGeometry(0, bottom, width, height - bottom);
    }
    if (webRun)
        webRun->setGeometry(pageArea(QRect(0, top, width, std::max(0, bottom - top)), threeD_));

    // A dialog lies over the top of the page, its buttons at the right.
    pnlRunDialog->setGeometry(0, top, width, DialogHeight);
    const int buttonTop = (DialogHeight - BarHeight) / 2;
    btnRunDialogOk->setGeometry(width - ButtonWidth, buttonTop, ButtonWidth, BarHeight);
    btnRunDialogCancel->setGeometry(width - 2 * ButtonWidth, buttonTop, ButtonWidth, BarHeight);
    const int textWidth = std::max(0, width - 2 * ButtonWidth - 16);
    const bool prompt = edtRunDialog->isVisibleTo(pnlRunDialog);
    lblRunDialog->setGeometry(8, 4, textWidth, prompt ? DialogHeight - 48 : DialogHeight - 8);
    edtRunDialog->setGeometry(8, DialogHeight - 40, textWidth, 32);
}

QRect RunView::pageArea(const QRect &space, bool threeD)
{
    if (!threeD || space.width() * 3 <= space.height() * 4)
        return space;
    return QRect(space.topLeft(), QSize(space.height() * 4 / 3, space.height()));
}

void RunView::paintEvent(QPaintEvent *)
{
    // Beside a 3D page's 4:3 area, the colour the pages paint around their play area.
    if (!webRun || webRun->geometry().right() + 1 >= width())
        return;
    QPainter painter(this);
    const QRect web = webRun->geometry();
    painter.fillRect(QRect(web.right() + 1, web.top(), width() - web.right() - 1, web.height()),
                     QColor::fromRgba(BackdropColour));
}

RunPage *RunView::makePage()
{
    auto *page = new RunPage(profile_, workspaceDir_);
    QWebEngineSettings *settings = page->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    settings->setAttribute(QWebEngineSettings::WebGLEnabled, true);
    settings->setAttribute(QWebEngineSettings::Accelerated2dCanvasEnabled, true);
    page->scripts().insert(probeScript());

    connect(page, &RunPage::consoleMessage, this,
            [this](QWebEnginePage::JavaScriptConsoleMessageLevel level, const QString &message,
                   int line, const QString &source) {
                consoleMessage(static_cast<int>(level), message, line, source);
            });
    connect(page, &RunPage::dialogRequested, this, &RunView::showDialog);
    // A closing page that goes on asking (a chain of alerts) is busy with
    // them and will not load the blank page: it is replaced at once, once
    // its call has returned.
    const QPointer<RunPage> asking(page);
    connect(page, &RunPage::dialogWhileClosing, this, [this, asking] {
        QMetaObject::invokeMethod(
            this,
            [this, asking] {
                if (asking && asking == page_)
                    replacePage();
            },
            Qt::QueuedConnection);
    });
    return page;
}

void RunView::createWebView(const QString &workspaceDir)
{
    workspaceDir_ = workspaceDir;
    profile_ = new QWebEngineProfile(this);  // off the record: nothing kept on disk
    blocker_ = new RemoteBlocker(workspaceDir, profile_);
    profile_->setUrlRequestInterceptor(blocker_);
    profile_->scripts()->insert(sealScript());
    page_ = makePage();

    webRun = named(new QWebEngineView(this), "webRun", QStringLiteral("Running program"));
    webRun->setPage(page_);
    connect(webRun, &QWebEngineView::loadFinished, this, &RunView::loadFinished);
    // The closed page made way for the blank page in time.
    connect(webRun, &QWebEngineView::urlChanged, this, [this] {
        if (madeWayForBlank())
            closeGrace_->stop();
    });
    placeChildren();
    webRun->show();
    lstRunConsole->raise();
    pnlRunDialog->raise();
}

bool RunView::madeWayForBlank() const
{
    // The address changes once the blank page's document has taken the
    // closed page's place, which a renderer busy with the closed page never
    // lets happen.
    return page_->closing() && webRun->url() == blank_;
}

void RunView::replacePage()
{
    RunPage *old = page_;
    page_ = makePage();
    webRun->setPage(page_);
    closeGrace_->stop();
    hideDialog();
    disconnect(old, nullptr, this, nullptr);
    old->setClosing(true);
    // Deleting the page ends its renderer, busy or not. A page waiting on a
    // dialog is in the middle of a call of its own: it goes once that call
    // has returned.
    std::erase_if(retired_, [](const QPointer<RunPage> &page) { return page.isNull(); });
    if (!old->dialogOpen()) {
        delete old;
        return;
    }
    retired_.push_back(old);
    const QPointer<RunPage> waiting(old);
    connect(old, &RunPage::dialogEnded, this, [waiting] { delete waiting.data(); }, Qt::QueuedConnection);
    old->answerDialog(true);
}

void RunView::showPage(const QUrl &page, const QString &workspaceDir, bool threeD, RunPlaces places)
{
    runLog_.start(std::move(places));
    lstRunConsole->logChanged();
    if (!webRun)
        createWebView(workspaceDir);
    else if (page_->dialogOpen() || (closeGrace_->isActive() && !madeWayForBlank()))
        replacePage();
    if (threeD != threeD_) {
        threeD_ = threeD;
        placeChildren();
        update();
    }
    page_->setClosing(false);
    showError(QString());
    // Clearing an empty label still repaints the whole window, and with the
    // web view in it that is a composition the navigation below would wait for.
    if (!lblRunFps->text().isEmpty())
        showValue(lblRunFps, QString());
    show();
    // Raising a view that is already on top still repaints all of it.
    if (parentWidget() && parentWidget()->children().constLast() != this)
        raise();
    showing_ = true;
    webRun->load(page);
    webRun->setFocus();
}

void RunView::closePage(const QUrl &blank)
{
    if (!webRun)
        return;
    hideDialog();
    showValue(lblRunFps, QString());
    showing_ = false;
    if (page_->dialogOpen()) {
        replacePage();
        return;
    }
    page_->setClosing(true);
    blank_ = blank;
    closeGrace_->start();
    webRun->stop();
    webRun->load(blank);
}

void RunView::showError(const QString &text, int furtherErrors)
{
    const bool shown = !text.isEmpty();
    if (text == btnRunError->text() && furtherErrors == btnRunError->furtherErrors()
        && btnRunError->isVisibleTo(this) == shown)
        return;
    const int before = btnRunError->isVisibleTo(this) ? btnRunError->heightForWidth(width()) : -1;
    btnRunError->showError(text, furtherErrors);
    btnRunError->setVisible(shown);
    // Another count on the same lines leaves everything where it is.
    if (!shown || btnRunError->heightForWidth(width()) != before)
        placeChildren();
}

bool RunView::consoleOpen() const
{
    return lstRunConsole->isVisibleTo(this);
}

void RunView::setConsoleOpen(bool open)
{
    if (btnRunConsole->isChecked() != open)
        btnRunConsole->setChecked(open);
    if (consoleOpen() == open)
        return;
    lstRunConsole->setVisible(open);
    placeChildren();
}

void RunView::showDialog(RunPage::DialogKind kind, const QString &text, const QString &defaultValue)
{
    showValue(lblRunDialog, text);
    edtRunDialog->setVisible(kind == RunPage::DialogKind::Prompt);
    edtRunDialog->setText(defaultValue);
    btnRunDialogCancel->setVisible(kind != RunPage::DialogKind::Alert);
    placeChildren();
    pnlRunDialog->show();
    pnlRunDialog->raise();
    if (kind == RunPage::DialogKind::Prompt)
        edtRunDialog->setFocus();
}

void RunView::answerDialog(bool accepted)
{
    const QString value = edtRunDialog->text();
    hideDialog();
    if (page_)
        page_->answerDialog(accepted, value);
    if (webRun)
        webRun->setFocus();
}

void RunView::hideDialog()
{
    pnlRunDialog->hide();
    showValue(lblRunDialog, QString());
}

void RunView::consoleMessage(int level, const QString &message, int line, const QString &source)
{
    // What a page says while it makes way for the blank page is not the run's.
    if (!showing_)
        return;
    const ProbeReading reading = readConsoleMessage(messageLevel(level), message, line, source);
    if (reading.frames)
        showValue(lblRunFps, QStringLiteral("%1 fps").arg(*reading.frames));
    if (reading.message) {
        logMessage(*reading.message);
        emit pageMessage(*reading.message);
    }
}

void RunView::logMessage(const PageMessage &message)
{
    const RunLog::Change change = runLog_.add(message);
    if (change.lineAdded)
        lstRunConsole->logChanged();
    if (change.errorChanged)
        showError(runLog_.firstError()->text, runLog_.furtherErrors());
}

} // namespace quill
