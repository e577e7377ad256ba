#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <vector>

namespace quill::testsupport {

// A script element that carries its text as strings (carriedScript), read
// back from a page: the text it runs, the line ends put in front of it and
// its attributes.
struct CarriedScript {
    QString text;
    int linesBefore = -1;
    QJsonObject attributes;
    qsizetype at = -1;   // where its element begins in the page
    qsizetype end = -1;  // just past its end tag
};

// Every carried script of a page, in order. A carrier that does not read
// back gives one with linesBefore -1 and the unread text.
inline std::vector<CarriedScript> carriedScripts(const QString &page)
{
    const QString start = QStringLiteral("<script>(function(k,l,a){");
    const QString call = QStringLiteral("})(");
    const QString close = QStringLiteral(");</script>");
    std::vector<CarriedScript> found;
    for (qsizetype at = page.indexOf(start); at >= 0; at = page.indexOf(start, at + 1)) {
        CarriedScript script;
        script.at = at;
        const qsizetype arguments = page.indexOf(call, at) + call.size();
        const qsizetype end = page.indexOf(close, arguments);
        script.end = end + close.size();
        const QString json = QStringLiteral("[") + page.mid(arguments, end - arguments) + QStringLiteral("]");
        const QJsonDocument parsed = QJsonDocument::fromJson(json.toUtf8());
        const QJsonArray values = parsed.array();
        if (!parsed.isArray() || values.size() != 3 || !values[1].isArray()) {
            script.text = json;
            found.push_back(script);
            continue;
        }
        QStringList lines;
        for (const QJsonValue &line : values[1].toArray())
            lines << line.toString();
        script.text = lines.join(u'\n');
        script.linesBefore = values[0].toInt(-1);
        script.attributes = values[2].toObject();
        found.push_back(script);
    }
    return found;
}

} // namespace quill::testsupport
