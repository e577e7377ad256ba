#include "builder/runconsolestrip.h"

#include "builder/runlog.h"

#include <QScrollBar>
#include <QScroller>

namespace quill {

namespace {

constexpr int ProgramLineRole = Qt::UserRole;
constexpr int SerialRole = Qt::UserRole + 1;

QColor levelColour(PageMessage::Level level)
{
    switch (level) {
    case PageMessage::Level::Error:
        return QColor(0xff, 0x80, 0x80);
    case PageMessage::Level::Warning:
        return QColor(0xff, 0xd0, 0x60);
    case PageMessage::Level::Log:
        break;
    }
    return QColor(0xe8, 0xe8, 0xe8);
}

} // namespace

RunConsoleStrip::RunConsoleStrip(QWidget *parent) : QListWidget(parent)
{
    setObjectName(QStringLiteral("lstRunConsole"));
    setAccessibleName(QStringLiteral("Console lines"));
    setFocusPolicy(Qt::NoFocus);
    setSelectionMode(QAbstractItemView::NoSelection);
    setWordWrap(true);
    setResizeMode(QListView::Adjust);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setStyleSheet(QStringLiteral("QListWidget { background: #101018; border: none; }"));
    // A finger drags the lines rather than tapping the one it started on.
    QScroller::grabGesture(viewport(), QScroller::TouchGesture);
    refresh_.setSingleShot(true);
    refresh_.setInterval(RefreshMilliseconds);
    connect(&refresh_, &QTimer::timeout, this, &RunConsoleStrip::refresh);
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        const int line = item->data(ProgramLineRole).toInt();
        if (line >= 0)
            emit programLineTapped(line);
    });
}

void RunConsoleStrip::setLog(const RunLog *log)
{
    log_ = log;
    clear();
    nextSerial_ = 0;
    logChanged();
}

void RunConsoleStrip::logChanged()
{
    if (isVisible() && !refresh_.isActive())
        refresh_.start();
}

void RunConsoleStrip::showEvent(QShowEvent *event)
{
    QListWidget::showEvent(event);
    refresh();
}

void RunConsoleStrip::refresh()
{
    refresh_.stop();
    if (!log_) {
        clear();
        return;
    }
    const std::deque<RunLogLine> &lines = log_->lines();
    const long long first = lines.empty() ? log_->nextSerial() : lines.front().serial;
    int gone = 0;
    while (gone < count() && item(gone)->data(SerialRole).toLongLong() < first)
        ++gone;
    if (gone == count())
        clear();
    else
        for (int k = 0; k < gone; ++k)
            delete takeItem(0);

    QScrollBar *scroll = verticalScrollBar();
    const bool atEnd = scroll->value() >= scroll->maximum();
    for (const RunLogLine &line : lines) {
        if (line.serial < nextSerial_)
            continue;
        auto *item = new QListWidgetItem(line.text);
        item->setForeground(levelColour(line.level));
        item->setData(ProgramLineRole, line.programLine);
        item->setData(SerialRole, line.serial);
        addItem(item);
    }
    nextSerial_ = log_->nextSerial();
    if (atEnd)
        scrollToBottom();
}

} // namespace quill
