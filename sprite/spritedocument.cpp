#include "sprite/spritedocument.h"

#include "base/constants.h"
#include "base/quillerror.h"
#include "sprite/spritefile.h"

#include <algorithm>

namespace quill {

SpriteDocument::SpriteDocument(int size, QObject *parent) : QObject(parent)
{
    AllocateSpriteBuffers(size);
}

void SpriteDocument::AllocateSpriteBuffers(int size)
{
    reallocate(size);
    undoBuffer_.assign(buffer_.size(), 0);
    undoAvailable_ = false;
    NewSprite();
}

void SpriteDocument::reallocate(int size)
{
    if (!isSpriteSize(size))
        throw QuillError(QStringLiteral("Invalid sprite size."));
    const std::size_t cel = static_cast<std::size_t>(size) * size;
    std::vector<std::uint8_t> buffer(HeaderSize + MaxCels * cel);
    // The clipboard starts empty, so a Paste before any Copy erases the cel.
    std::vector<std::uint8_t> clipboard(cel), work(cel);
    size_ = size;
    buffer_ = std::move(buffer);
    clipboard_ = std::move(clipboard);
    work_ = std::move(work);
}

void SpriteDocument::NewSprite()
{
    std::fill(buffer_.begin(), buffer_.end(), 0);
    currentCel_ = 0;
    celCount_ = 1;
    writeHeader();
    emit changed();
}

void SpriteDocument::setPixel(int x, int y, std::uint8_t color)
{
    std::uint8_t &pixel = slot(currentCel_)[y * size_ + x];
    if (pixel == color)
        return;
    pixel = color;
    emit changed();
}

QString SpriteDocument::celLabel() const
{
    return QStringLiteral("%1/%2").arg(currentCel_ + 1).arg(celCount_);
}

void SpriteDocument::TakeUndoSnapshot()
{
    undoBuffer_ = buffer_;
    undoCurrentCel_ = currentCel_;
    undoCelCount_ = celCount_;
    undoSize_ = size_;
    undoAvailable_ = true;
    undoHasName_ = false;
}

void SpriteDocument::takeWholeSnapshot()
{
    TakeUndoSnapshot();
    undoHasName_ = true;
    undoName_ = name_;
    undoOrigin_ = origin_;
    undoSavedBytes_ = savedBytes_;
}

void SpriteDocument::Undo()
{
    if (!undoAvailable_) {
        emit changed();
        return;
    }
    undoAvailable_ = false;
    if (undoSize_ != size_) {
        // Back to the former size: the cel clipboard starts empty again.
        std::vector<std::uint8_t> buffer = std::move(undoBuffer_);
        reallocate(undoSize_);
        buffer_ = std::move(buffer);
    } else {
        buffer_ = undoBuffer_;
    }
    currentCel_ = undoCurrentCel_;
    celCount_ = undoCelCount_;
    if (undoHasName_) {
        name_ = undoName_;
        origin_ = undoOrigin_;
        savedBytes_ = undoSavedBytes_;
    }
    emit changed();
}

void SpriteDocument::startNew()
{
    takeWholeSnapshot();
    name_.clear();
    origin_.clear();
    NewSprite();
}

void SpriteDocument::startOver(int size)
{
    if (!isSpriteSize(size))
        throw QuillError(QStringLiteral("Invalid sprite size."));
    takeWholeSnapshot();
    reallocate(size);
    name_.clear();
    origin_.clear();
    NewSprite();
}

void SpriteDocument::open(const SpriteFileContent &content, const QString &name)
{
    checkContent(content);
    takeWholeSnapshot();
    if (content.size != size_)
        reallocate(content.size);
    takeContent(content);
    name_ = name;
    origin_ = name;
    savedBytes_ = fileBytes();
    emit changed();
}

void SpriteDocument::recover(const SpriteFileContent &content, int currentCel, const QString &name,
                             const QString &origin)
{
    checkContent(content);
    if (content.size != size_)
        reallocate(content.size);
    takeContent(content);
    currentCel_ = std::clamp(currentCel, 0, celCount_ - 1);
    name_ = name;
    origin_ = origin;
    emit changed();
}

void SpriteDocument::savedAs(const QString &name)
{
    name_ = name;
    origin_ = name;
    savedBytes_ = fileBytes();
}

bool SpriteDocument::pristine() const
{
    const ConstCelPixels first = slot(0);
    return name_.isEmpty() && celCount_ == 1
           && std::all_of(first.begin(), first.end(), [](std::uint8_t pixel) { return pixel == 0; });
}

void SpriteDocument::addCel()
{
    TakeUndoSnapshot();
    if (celCount_ == MaxCels) {
        emit changed();
        return;
    }
    // A slot beyond the last cel may still hold a deleted cel or an earlier
    // sprite's: the new cel starts empty.
    std::ranges::fill(slot(celCount_), 0);
    currentCel_ = celCount_;
    ++celCount_;
    writeHeader();
    emit changed();
}

void SpriteDocument::deleteCel()
{
    if (celCount_ == 1) {
        emit changed();
        return;
    }
    TakeUndoSnapshot();
    if (currentCel_ < celCount_ - 1) {
        const auto from = buffer_.begin() + HeaderSize + (currentCel_ + 1) * celBytes();
        const auto to = buffer_.begin() + HeaderSize + celCount_ * celBytes();
        std::copy(from, to, from - celBytes());
    } else {
        --currentCel_;
    }
    --celCount_;
    writeHeader();
    emit changed();
}

void SpriteDocument::previousCel()
{
    currentCel_ = currentCel_ == 0 ? celCount_ - 1 : currentCel_ - 1;
    emit changed();
}

void SpriteDocument::nextCel()
{
    currentCel_ = currentCel_ + 1 == celCount_ ? 0 : currentCel_ + 1;
    emit changed();
}

void SpriteDocument::copyCel()
{
    std::ranges::copy(currentCelPixels(), clipboard_.begin());
    emit changed();
}

void SpriteDocument::pasteCel()
{
    TakeUndoSnapshot();
    std::ranges::copy(clipboard_, slot(currentCel_).begin());
    emit changed();
}

void SpriteDocument::eraseCel()
{
    TakeUndoSnapshot();
    std::ranges::fill(slot(currentCel_), 0);
    emit changed();
}

void SpriteDocument::CommitWorkCel()
{
    std::ranges::copy(work_, slot(currentCel_).begin());
    emit changed();
}

QByteArray SpriteDocument::fileBytes() const
{
    const std::size_t length = HeaderSize + celCount_ * celBytes();
    return QByteArray(reinterpret_cast<const char *>(buffer_.data()), static_cast<qsizetype>(length));
}

void SpriteDocument::checkContent(const SpriteFileContent &content)
{
    if (!isSpriteSize(content.size) || content.celCount < 1 || content.celCount > MaxCels
        || content.cels.size() != static_cast<qsizetype>(content.celCount) * content.size * content.size)
        throw QuillError(QStringLiteral("Invalid sprite file."));
}

void SpriteDocument::takeContent(const SpriteFileContent &content)
{
    celCount_ = content.celCount;
    currentCel_ = 0;
    writeHeader();
    std::copy(content.cels.begin(), content.cels.end(), buffer_.begin() + HeaderSize);
}

bool SpriteDocument::loadFile(const SpriteFileContent &content)
{
    checkContent(content);
    const bool resized = content.size != size_;
    if (resized)
        AllocateSpriteBuffers(content.size);
    takeContent(content);
    emit changed();
    return resized;
}

CelPixels SpriteDocument::slot(int index)
{
    return CelPixels(buffer_.data() + HeaderSize + index * celBytes(), celBytes());
}

ConstCelPixels SpriteDocument::slot(int index) const
{
    return ConstCelPixels(buffer_.data() + HeaderSize + index * celBytes(), celBytes());
}

void SpriteDocument::writeHeader()
{
    buffer_[0] = static_cast<std::uint8_t>(size_);
    buffer_[1] = static_cast<std::uint8_t>(size_);
    buffer_[2] = static_cast<std::uint8_t>(celCount_);
}

} // namespace quill
