#pragma once

#include <QByteArray>
#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace quill::testsupport {

// A 64 KiB tmpfs mounted over a folder for the life of the object: the only
// honest way to make a write fail when the tests run as root. fill() takes
// every free byte, so the next write of any size fails with ENOSPC. Mounted
// read-only (readOnly), nothing can be made in it at all (EROFS), for root
// too.
class FullDisk {
public:
    explicit FullDisk(const QString &dir, bool readOnly = false) : dir_(dir.toLocal8Bit())
    {
        if (::mount("tmpfs", dir_.constData(), "tmpfs", readOnly ? MS_RDONLY : 0, "size=64k") != 0)
            error_ = std::strerror(errno);
        else
            mounted_ = true;
    }
    ~FullDisk()
    {
        if (mounted_)
            ::umount2(dir_.constData(), MNT_DETACH);
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    bool mounted() const { return mounted_; }
    const std::string &error() const { return error_; }

    bool fill() const
    {
        const QByteArray filler = dir_ + "/filler";
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            return false;
        const std::string block(4096, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        const bool full = errno == ENOSPC;
        const char byte = 'x';
        while (::write(fd, &byte, 1) > 0) {
        }
        ::close(fd);
        return full;
    }

private:
    QByteArray dir_;
    bool mounted_ = false;
    std::string error_;
};

} // namespace quill::testsupport
