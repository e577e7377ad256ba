#include "builder/runerror.h"

#include <QUrl>

namespace quill {

namespace {

QString located(const QString &file, int line, const QString &message)
{
    return QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(message);
}

} // namespace

RunError mapRunError(const QString &message, int line, const QString &source, const QUrl &pageUrl,
                     const GeneratedPage &page, const QString &programName)
{
    const QUrl script(source);
    if (source.isEmpty() || line <= 0)
        return {message, -1};
    if (script.adjusted(QUrl::NormalizePathSegments) != pageUrl.adjusted(QUrl::NormalizePathSegments)
        || line > qsizetype(page.origins.size()))
        return {located(script.fileName(), line, message), -1};

    const PageLineOrigin &origin = page.origins[std::size_t(line - 1)];
    if (origin.source == 0 && origin.line >= 0) {
        const QString name = programName.isEmpty() ? QStringLiteral("code") : programName;
        return {located(name, origin.line + 1, message), origin.line};
    }
    if (origin.source > 0 && origin.source < page.sources.size() && origin.line >= 0)
        return {located(page.sources[origin.source], origin.line + 1, message), -1};
    return {located(script.fileName(), line, message), -1};
}

} // namespace quill
