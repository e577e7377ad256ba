#pragma once

#include "builder/includeexpander.h"

namespace quill {

// Include files from the code folder, opened by openRegularFile: only regular
// files are read (a FIFO would hang the generator and a device read for
// ever; either counts as a file that cannot be read), a name is used whole
// (one holding a NUL character names no file), and a file larger than
// IncludeFileLimit bytes is refused with "Too large: NAME.".
class IncludeFileReader : public IncludeReader {
public:
    static constexpr qint64 IncludeFileLimit = 16 * 1024 * 1024;

    explicit IncludeFileReader(QString codeDir) : codeDir_(std::move(codeDir)) {}
    std::optional<IncludeFile> readInclude(const QString &name) override;

private:
    QString codeDir_;
};

} // namespace quill
