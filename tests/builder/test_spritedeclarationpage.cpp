// The sprite declaration from end to end: the sprite editor saves a sheet,
// the Sp key writes the declaration of that sheet into the code, the page
// generator reads it back into texture rectangles, and every rectangle holds
// its cel of the sheet, enlarged twice. The writer and the reader of the
// declaration are held to each other here.
#include "base/messagesink.h"
#include "base/settingsstore.h"
#include "base/settingstable.h"
#include "base/textfile.h"
#include "base/workspace.h"
#include "builder/pagegenerator.h"
#include "editor/choicecommands.h"
#include "editor/codebuffer.h"
#include "editor/editorchoices.h"
#include "editor/keycommands.h"
#include "sprite/spriteeditor.h"
#include "sprite/spritestorage.h"
#include "tests/editor/editortext.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <vector>

namespace quill {
namespace {

class Collector : public MessageSink {
public:
    void showMessage(const QString &text) override { messages << text; }
    QStringList messages;
};

// The pick list as plain data; the sprite size is the editor's.
class PickedChoices : public EditorChoices {
public:
    void offerChoices(PickMode mode, const QStringList &items) override
    {
        offeredMode = mode;
        offered = items;
    }
    QString clipboardText() const override { return QString(); }
    void setClipboardText(const QString &) override {}
    QStringList keywords() const override { return {}; }
    int spriteSize() const override { return size; }

    int size = DefaultSpriteSize;
    PickMode offeredMode = PickMode::None;
    QStringList offered;
};

// The cels told apart: pixel (x, y) of cel k is (x + 2y + 3k) mod 16, so
// some pixels are transparent (0) and no two cels are alike.
std::uint8_t mark(int cel, int x, int y)
{
    return std::uint8_t((x + 2 * y + 3 * cel) % 16);
}

TEST(SpriteDeclarationPage, TheSpKeysDeclarationFindsEveryCelOfTheSheet)
{
    struct Case {
        int size;
        int cels;
        QString declaration;
    };
    const std::vector<Case> cases = {
        {16, 3, "sprite(0,\"hero\",3);"},
        {8, 4, "sprite(0,\"hero\",4,16,16,1);"},
        {20, 2, "sprite(0,\"hero\",2,40,40,1);"},
        {1, 5, "sprite(0,\"hero\",5,2,2,1);"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.size);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const WorkspacePaths paths = WorkspacePaths::fromBaseDir(dir.path() + "/");
        for (const QString &folder : {paths.codeDir, paths.spriteDir, paths.imageDir, paths.scriptDir})
            QDir().mkpath(folder);
        writeTextFile(paths.scriptDir + "tmp_main.html", {"<script>", "##user##", "</script>"});

        // The Sprite page's Save.
        SettingsStore settings;
        applyDefaultSettings(settings, QString(), 384);
        SpriteEditor sprite(c.size);
        sprite.ApplyPalette(settings);
        SpriteDocument &document = sprite.document();
        for (int cel = 0; cel < c.cels; ++cel) {
            if (cel > 0)
                document.addCel();
            for (int y = 0; y < c.size; ++y)
                for (int x = 0; x < c.size; ++x)
                    document.setPixel(x, y, mark(cel, x, y));
        }
        saveSprite(document, sprite.palette(), paths.spriteDir, paths.imageDir, "hero");

        // Sp, the sheet chosen, and the image number typed where the cursor waits.
        CodeBuffer code;
        code.loadLines({"function init(){"});
        code.setCursor(0, 16);
        testing::FakeKeyboard keyboard;
        testing::FakeWindow window;
        PickedChoices choices;
        choices.size = c.size;
        KeyCommands keys(code, keyboard, window);
        ChoiceCommands choiceRows(code, keyboard, choices);
        choiceRows.setSources({paths.templateDir, paths.imageDir, paths.audioDir});
        keys.setChoiceCommands(&choiceRows);
        keys.RunKeyCommand("Sp");
        ASSERT_EQ(choices.offeredMode, PickMode::SpriteImages);
        ASSERT_EQ(choices.offered, QStringList({"hero.png"}));
        choiceRows.choose(PickMode::SpriteImages, 0, "hero.png");
        keys.RunKeyCommand("0");
        code.insertLine(2, "}");
        EXPECT_EQ(code.line(1), c.declaration);

        // Run's page.
        Collector messages;
        const GeneratedPage page = generatePage(code.lines(), "hero", paths, messages);
        EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join('|').toStdString();
        EXPECT_TRUE(page.resources.contains("img/hero.png"));
        const QRegularExpression texture(
            "chr0(\\d+):\\{x:(-?\\d+),y:(-?\\d+),width:(-?\\d+),height:(-?\\d+)\\}");
        std::vector<QRect> cells;
        for (auto match = texture.globalMatch(page.pageText()); match.hasNext();) {
            const QRegularExpressionMatch found = match.next();
            EXPECT_EQ(found.captured(1).toInt(), int(cells.size()));
            cells.emplace_back(found.captured(2).toInt(), found.captured(3).toInt(), found.captured(4).toInt(),
                               found.captured(5).toInt());
        }
        ASSERT_EQ(int(cells.size()), c.cels);

        // The sheet the page loads: each rectangle is its cel, enlarged twice.
        const QImage sheet = QImage(paths.imageDir + "hero.png").convertToFormat(QImage::Format_RGBA8888);
        ASSERT_FALSE(sheet.isNull());
        for (int cel = 0; cel < c.cels; ++cel) {
            SCOPED_TRACE(cel);
            const QRect cell = cells[std::size_t(cel)];
            ASSERT_EQ(cell.size(), QSize(2 * c.size, 2 * c.size));
            ASSERT_TRUE(sheet.rect().contains(cell));
            int wrong = 0;
            for (int y = 0; y < cell.height(); ++y) {
                for (int x = 0; x < cell.width(); ++x) {
                    const std::uint8_t index = mark(cel, x / 2, y / 2);
                    const QRgb expected = index == 0 ? 0u : sprite.palette()[index] | 0xFF000000u;
                    const QColor shown = sheet.pixelColor(cell.x() + x, cell.y() + y);
                    wrong += shown.rgba() != expected && !(index == 0 && shown.alpha() == 0);
                }
            }
            EXPECT_EQ(wrong, 0);
        }
    }
}

} // namespace
} // namespace quill
