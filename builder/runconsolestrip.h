#pragma once

#include <QListWidget>
#include <QTimer>

namespace quill {

class RunLog;

// The run view's console (lstRunConsole): the lines of a RunLog, the newest
// at the bottom, coloured by level and wrapped to the strip's width. It
// follows the log by the lines' serial numbers, catching up at most
// RefreshMilliseconds after a change and only while it is shown, and stays at
// the end unless the user has scrolled up. A tap on a line of the program
// emits programLineTapped.
//
//   strip->setLog(&log);
//   if (log.add(message).lineAdded) strip->logChanged();
class RunConsoleStrip : public QListWidget {
    Q_OBJECT

public:
    static constexpr int RefreshMilliseconds = 100;

    explicit RunConsoleStrip(QWidget *parent = nullptr);

    void setLog(const RunLog *log);
    // The log has new lines, or started over.
    void logChanged();
    // Catches up with the log now.
    void refresh();

signals:
    // A line of the program was tapped: its zero-based line.
    void programLineTapped(int line);

protected:
    void showEvent(QShowEvent *event) override;

private:
    const RunLog *log_ = nullptr;
    long long nextSerial_ = 0;  // the serial of the next line to show
    QTimer refresh_;
};

} // namespace quill
