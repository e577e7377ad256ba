#include "editor/jumptargets.h"

#include <algorithm>

namespace quill {

JumpList ListJumpTargets(const CodeText &lines)
{
    static const QString Declaration = QStringLiteral("function ");
    JumpList jumps;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith(Declaration))
            continue;
        QString name = lines[i].mid(Declaration.size());
        const qsizetype parenthesis = name.indexOf(u'(');
        if (parenthesis > 0)
            name.truncate(parenthesis);
        jumps.items.append(name);
        jumps.JumpLines.append(int(i));
    }
    return jumps;
}

std::optional<int> JumpTargetLine(const QList<int> &JumpLines, int index, int lineCount)
{
    if (index < 0 || index >= JumpLines.size() || lineCount < 1)
        return std::nullopt;
    return std::clamp(JumpLines[index], 0, lineCount - 1);
}

} // namespace quill
