#include "app/unsavedwork.h"

#include "base/filename.h"
#include "base/filereader.h"
#include "base/messagesink.h"
#include "base/quillerror.h"
#include "app/handlerboundary.h"
#include "editor/codebuffer.h"
#include "editor/codefiles.h"
#include "sprite/spritedocument.h"
#include "sprite/spritefile.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace quill {

namespace {

const QString CodeSlot = QStringLiteral("code");
const QString SpriteSlot = QStringLiteral("sprite");

bool isNewProgram(const CodeBuffer &code)
{
    if (!code.identity().name.isEmpty() || code.lineCount() != int(CodeBuffer::newProgramLines().size()))
        return false;
    return code.lines() == CodeBuffer::newProgramLines();
}

// The file's bytes, or nothing when there is no such file to compare with.
std::optional<QByteArray> fileBytes(const QString &dir, const QString &name)
{
    if (name.isEmpty() || fileNameProblem(name))
        return std::nullopt;
    try {
        return readRegularFile(dir + name, name, TextFileLimit);
    } catch (const QuillError &) {
        return std::nullopt;
    }
}

// The code of an entry, when it differs from its file (or from a new
// program); the identity goes into `identity`.
std::optional<CodeText> recoveredCode(const JournalEntry &entry, const QString &codeDir,
                                      FileIdentity &identity)
{
    const QByteArray bytes = entry.value("text");
    if (!QByteArrayView(bytes).isValidUtf8())
        return std::nullopt;
    CodeText text = CodeText::fromBytes(bytes, 0, CodeText::Bytes::Utf8);
    if (text.isEmpty())
        text.insert(0, QString());
    identity.name = QString::fromUtf8(entry.value("name"));
    identity.origin = QString::fromUtf8(entry.value("origin"));
    const int encoding = entry.value("encoding").toInt();
    identity.encoding = encoding >= int(TextEncoding::Local8Bit) && encoding <= int(TextEncoding::Latin1)
                            ? TextEncoding(encoding)
                            : TextEncoding::Utf8Bom;
    if (identity.name.isEmpty()) {
        if (text == CodeText(CodeBuffer::newProgramLines()))
            return std::nullopt;
    } else if (const std::optional<QByteArray> file = fileBytes(codeDir, identity.name)) {
        if (decodeCodeFile(*file).text == text)
            return std::nullopt;
    }
    return text;
}

QString describedCode(const FileIdentity &identity)
{
    return identity.name.isEmpty() ? QStringLiteral("an unnamed program") : identity.name;
}

QString describedSprite(const QString &name)
{
    return name.isEmpty() ? QStringLiteral("an unnamed sprite") : QStringLiteral("sprite ") + name;
}

} // namespace

UnsavedWork::UnsavedWork(const QString &folder, MessageSink &messages, qsizetype limit)
    : folder_(folder), messages_(messages),
      writer_(folder, [this](const QString &slot, const std::optional<QString> &error) { told(slot, error); },
              limit)
{
}

UnsavedWork::~UnsavedWork() = default;

void UnsavedWork::follow(const CodeBuffer &code, const SpriteDocument &sprite, int delay)
{
    code_ = &code;
    sprite_ = &sprite;
    timer_ = std::make_unique<QTimer>();
    timer_->setSingleShot(true);
    timer_->setInterval(delay);
    QTimer *timer = timer_.get();
    QObject::connect(timer, &QTimer::timeout, timer,
                     [this] { runHandler(messages_, [this] { checkpoint(*code_, *sprite_); }); });
    const auto changed = [timer] {
        if (!timer->isActive())
            timer->start();
    };
    QObject::connect(&code, &CodeBuffer::contentChanged, timer, changed);
    QObject::connect(&sprite, &SpriteDocument::changed, timer, changed);
}

void UnsavedWork::keepNow()
{
    if (code_ && sprite_)
        checkpoint(*code_, *sprite_);
    flush();
}

std::optional<QString> UnsavedWork::recover(CodeBuffer &code, SpriteDocument &sprite,
                                            const QString &codeDir, const QString &spriteDir)
{
    RecoveryJournal journal(folder_);
    const RecoveryJournal::Contents contents = journal.read();
    QStringList recovered;
    for (const RecoveryJournal::Found &found : contents.entries) {
        if (found.slot == CodeSlot) {
            FileIdentity identity;
            if (std::optional<CodeText> text = recoveredCode(found.entry, codeDir, identity)) {
                code.replaceDocument(std::move(*text), identity);
                code.setCodeModified(true);
                codeRevision_ = code.revision();
                codeIdentity_ = identity;
                recovered << describedCode(identity);
            }
        } else if (found.slot == SpriteSlot) {
            const QByteArray bytes = found.entry.value("sprite");
            const QString name = QString::fromUtf8(found.entry.value("name"));
            const std::optional<QByteArray> file = fileBytes(spriteDir, name);
            if ((file && *file == bytes) || bytes.isEmpty())
                continue;
            try {
                const SpriteFileContent content = parseSpriteFile(bytes);
                sprite.recover(content, found.entry.value("cel").toInt(), name,
                               QString::fromUtf8(found.entry.value("origin")));
            } catch (const QuillError &) {
                continue;  // a sprite this program cannot have written
            }
            if (sprite.pristine())
                continue;
            spriteBytes_ = sprite.fileBytes();
            spriteName_ = sprite.name();
            spriteOrigin_ = sprite.origin();
            spriteCel_ = sprite.CurrentCel();
            recovered << describedSprite(name);
        }
    }
    QStringList sentences;
    for (const QString &aside : contents.setAside)
        sentences << QStringLiteral("A recovery file could not be read and was set aside as %1.").arg(aside);
    if (!recovered.isEmpty())
        sentences << QStringLiteral("Recovered unsaved changes: %1.").arg(recovered.join(QStringLiteral(" and ")));
    if (sentences.isEmpty())
        return std::nullopt;
    return sentences.join(u' ');
}

void UnsavedWork::checkpoint(const CodeBuffer &code, const SpriteDocument &sprite)
{
    if (code.codeModified() && (code.revision() != codeRevision_ || code.identity() != codeIdentity_)
        && !isNewProgram(code)) {
        codeRevision_ = code.revision();
        codeIdentity_ = code.identity();
        // A copy of the text costs a few pointers per block of lines; the
        // bytes are made on the journal's thread.
        writer_.write(CodeSlot, [text = code.text(), identity = code.identity()] {
            return JournalEntry{{"name", identity.name.toUtf8()},
                                {"origin", identity.origin.toUtf8()},
                                {"encoding", QByteArray::number(int(identity.encoding))},
                                {"text", text.encoded(TextEncoding::Local8Bit)}};
        });
    }
    if (sprite.unsaved() && !sprite.pristine()) {
        QByteArray bytes = sprite.fileBytes();
        if (bytes != spriteBytes_ || sprite.name() != spriteName_ || sprite.origin() != spriteOrigin_
            || sprite.CurrentCel() != spriteCel_) {
            spriteBytes_ = bytes;
            spriteName_ = sprite.name();
            spriteOrigin_ = sprite.origin();
            spriteCel_ = sprite.CurrentCel();
            writer_.write(SpriteSlot, [bytes = std::move(bytes), name = spriteName_, origin = spriteOrigin_,
                                       cel = spriteCel_] {
                return JournalEntry{{"name", name.toUtf8()},
                                    {"origin", origin.toUtf8()},
                                    {"cel", QByteArray::number(cel)},
                                    {"sprite", bytes}};
            });
        }
    }
}

void UnsavedWork::codeSaved(const CodeBuffer &code)
{
    codeRevision_ = code.revision();
    codeIdentity_ = code.identity();
    writer_.remove(CodeSlot);
}

void UnsavedWork::spriteSaved(const SpriteDocument &sprite)
{
    spriteBytes_ = sprite.fileBytes();
    spriteName_ = sprite.name();
    spriteOrigin_ = sprite.origin();
    spriteCel_ = sprite.CurrentCel();
    writer_.remove(SpriteSlot);
}

void UnsavedWork::told(const QString &, const std::optional<QString> &error)
{
    if (!error) {
        failing_ = false;
        return;
    }
    if (failing_)
        return;
    failing_ = true;
    messages_.showMessage(QStringLiteral("Unsaved changes cannot be kept for recovery: %1").arg(*error)
                          + (error->endsWith(u'.') ? QString() : QStringLiteral(".")));
}

} // namespace quill
