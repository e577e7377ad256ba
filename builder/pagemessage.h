#pragma once

#include <QString>

namespace quill {

// What a page wrote to its console, or an error that nothing in it caught.
struct PageMessage {
    enum class Level { Log, Warning, Error };
    Level level = Level::Log;
    QString text;
    QString source;         // the address of the script it came from
    int line = 0;           // one-based line in that script; 0: none
    QString stack;          // the stack where it was written or thrown; may be empty
    bool uncaught = false;  // an error that nothing caught, with its stack
    bool operator==(const PageMessage &) const = default;
};

} // namespace quill
