#pragma once

#include <QString>
#include <QStringList>

namespace quill {

class MessageSink;

// Saving under the name of another existing file asks first: when `name`
// is not the file the work came from (`origin`) and any of `paths` exists,
// the user is asked "Replace NAME?". True when the save may go on.
//
//   if (!mayReplace(messages, name, origin, {codeDir + name})) return;  // "no": nothing saved
bool mayReplace(MessageSink &messages, const QString &name, const QString &origin,
                const QStringList &paths);

} // namespace quill
