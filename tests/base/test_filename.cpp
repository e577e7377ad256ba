#include "base/filename.h"
#include "base/quillerror.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

struct Case {
    const char *label;
    QString name;
    std::optional<QString> problem;
};

const QString Input = QStringLiteral("Input file name.");
const QString Invalid = QStringLiteral("Invalid file name.");

TEST(FileName, RefusesEmptyNamesAndNamesThatLeaveTheFolder)
{
    const std::vector<Case> cases = {
        {"empty", QString(), Input},
        {"plain", QStringLiteral("game"), std::nullopt},
        {"with extension", QStringLiteral("game.js"), std::nullopt},
        {"leading dot", QStringLiteral(".hidden"), std::nullopt},
        {"three dots", QStringLiteral("..."), std::nullopt},
        {"spaces and unicode", QStringLiteral("my gäme π"), std::nullopt},
        {"dot", QStringLiteral("."), Invalid},
        {"dot dot", QStringLiteral(".."), Invalid},
        {"slash", QStringLiteral("a/b"), Invalid},
        {"parent path", QStringLiteral("../settings"), Invalid},
        {"absolute", QStringLiteral("/etc/passwd"), Invalid},
        {"trailing slash", QStringLiteral("dir/"), Invalid},
        {"backslash", QStringLiteral("a\\b"), Invalid},
        {"windows parent", QStringLiteral("..\\x"), Invalid},
        {"nul", QStringLiteral("a") + QChar(0) + QStringLiteral("b"), Invalid},
        {"line feed", QStringLiteral("a\nb"), Invalid},
        {"carriage return", QStringLiteral("a\rb"), Invalid},
        {"trailing line feed", QStringLiteral("cat.png\n"), Invalid},
        {"tab", QStringLiteral("a\tb"), Invalid},
        {"delete", QStringLiteral("a\x7f"), Invalid},
        {"next line (C1)", QStringLiteral("a") + QChar(0x85) + QStringLiteral("b"), Invalid},
        {"line separator", QStringLiteral("a") + QChar(0x2028) + QStringLiteral("b"), Invalid},
        {"lone high surrogate", QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y"), Invalid},
        {"lone low surrogate", QStringLiteral("x") + QChar(0xDC00) + QStringLiteral("y"), Invalid},
        {"surrogates in the wrong order", QStringLiteral("x") + QChar(0xDC00) + QChar(0xD800), Invalid},
        {"a pair of surrogates", QStringLiteral("cat ") + QString::fromUcs4(U"\U0001F431"), std::nullopt},
        {"replacement character itself", QStringLiteral("x") + QChar(0xFFFD), std::nullopt},
        {"255 bytes", QString(255, u'n'), std::nullopt},
        {"256 bytes", QString(256, u'n'), QStringLiteral("File name too long.")},
        {"128 two-byte characters", QString(128, QChar(0xE9)), QStringLiteral("File name too long.")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(quill::fileNameProblem(c.name), c.problem);
        if (c.problem) {
            try {
                quill::checkFileName(c.name);
                ADD_FAILURE() << "no error";
            } catch (const quill::QuillError &error) {
                EXPECT_EQ(error.message(), *c.problem);
            }
        } else {
            EXPECT_NO_THROW(quill::checkFileName(c.name));
        }
    }
}

// Every accepted name, joined to a folder by plain concatenation, names a
// file directly inside that folder.
TEST(FileName, AcceptedNamesStayInsideTheFolder)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString folder = root.path() + QStringLiteral("/code/");
    const QStringList names = {QStringLiteral("a"), QStringLiteral(".a"), QStringLiteral("..."),
                               QStringLiteral("a b"), QStringLiteral("~"), QStringLiteral("-x")};
    for (const QString &name : names) {
        ASSERT_FALSE(quill::fileNameProblem(name)) << name.toStdString();
        EXPECT_EQ(QFileInfo(folder + name).absolutePath(), QDir::cleanPath(root.path() + "/code"))
            << name.toStdString();
    }
}

} // namespace
