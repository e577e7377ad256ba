#pragma once

#include "builder/pagemessage.h"

#include <QString>
#include <optional>

namespace quill {

// The script that the run view puts into every page it shows, ahead of the
// page's own scripts and in the page's own world, the only one that sees the
// page's errors and console. It reports, through the console:
// - the frames in which the page's own animation-frame callbacks ran, once a
//   second from the first such frame on; nothing when an error that nothing
//   in the page handled came before that frame (the program failed while
//   starting, and a frame loop it may have begun runs it unprepared);
// - every line the page writes with console.log, info, debug, warn and
//   error, with the stack where it was written; log lines only when the page
//   itself or the runtime wrote them, not an engine (its own chatter, which
//   would cost the first Run time for nothing);
// - every error that nothing caught, with its stack, also when a handler of
//   the page keeps the browser from reporting it;
// - a script of the page that could not be loaded ("Failed to load
//   js/quillfunc.js."), and one that the rest of the page ran into because
//   its end tag was hidden, as errors of the page: the page would show
//   nothing and tell nothing otherwise.
// It declares no name in the page, and the page file never holds it.
QString pageProbeScript();

// What one console message of a page that runs the probe is.
struct ProbeReading {
    std::optional<int> frames;           // frames counted in the last second
    std::optional<PageMessage> message;  // what the page wrote or threw
};

// Reads a console message: the probe's reports, or a message of the browser's
// own (an error it reports itself, a warning) at its level.
ProbeReading readConsoleMessage(PageMessage::Level level, const QString &text, int line,
                                const QString &source);

} // namespace quill
