#include "tags/safereplace.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tags {

namespace {

std::string Resolved(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string Because(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

// Writable as its mode says, whoever asks: the superuser too respects a
// file its owner made read-only.
bool Writable(const std::string& path)
{
    struct stat status { };
    return ::stat(path.c_str(), &status) == 0 && (status.st_mode & 0222)
        && ::access(path.c_str(), W_OK) == 0;
}

std::string CopyContents(int from, int to)
{
    // A clone shares the file's blocks where the file system can (Btrfs,
    // XFS): then only the tag's own blocks are ever written again.
    if (::ioctl(to, FICLONE, from) == 0)
        return {};
    // Otherwise copied inside the kernel, and by hand where even that fails.
    for (;;) {
        const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (copied == 0)
            return {};
        if (copied < 0) {
            if (errno == EINTR)
                continue;
            if (errno == ENOSPC || errno == EIO || errno == EDQUOT)
                return Because("its copy could not be written");
            break;
        }
    }
    std::vector<char> block(1 << 16);
    for (;;) {
        const ssize_t got = ::read(from, block.data(), block.size());
        if (got == 0)
            return {};
        if (got < 0)
            return errno == EINTR ? std::string() : Because("it could not be read");
        for (ssize_t done = 0; done < got;) {
            const ssize_t wrote = ::write(to, block.data() + done, size_t(got - done));
            if (wrote < 0 && errno != EINTR)
                return Because("its copy could not be written");
            done += wrote > 0 ? wrote : 0;
        }
    }
}

std::string CopyAttributes(int from, int to, const struct stat& original)
{
    if (::fchmod(to, original.st_mode & 07777) != 0)
        return Because("its permissions could not be kept");
    struct stat copy { };
    if (::fstat(to, &copy) != 0
        || ((copy.st_uid != original.st_uid || copy.st_gid != original.st_gid)
            && ::fchown(to, original.st_uid, original.st_gid) != 0))
        return Because("its owner could not be kept");
    const ssize_t length = ::flistxattr(from, nullptr, 0);
    if (length < 0)
        return errno == ENOTSUP ? std::string()
                                : Because("its extended attributes could not be read");
    std::vector<char> names(size_t(length) + 1);
    const ssize_t listed = ::flistxattr(from, names.data(), names.size());
    for (ssize_t at = 0; listed > 0 && at < listed;
         at += ssize_t(std::strlen(&names[size_t(at)])) + 1) {
        const char* name = &names[size_t(at)];
        const ssize_t size = ::fgetxattr(from, name, nullptr, 0);
        std::vector<char> value(size_t(std::max<ssize_t>(size, 0)) + 1);
        const ssize_t got = ::fgetxattr(from, name, value.data(), value.size());
        if (got < 0 || ::fsetxattr(to, name, value.data(), size_t(got), 0) != 0)
            return Because("its extended attributes could not be kept");
    }
    return {};
}

// Gives the unnamed file a name from the pattern's XXXXXX, one no file has.
bool LinkedBeside(const std::string& opened, std::string& pattern)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const size_t at = pattern.find("XXXXXX");
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[6];
        if (::getentropy(random, sizeof random) != 0)
            return false;
        std::string name = pattern;
        for (size_t i = 0; i < sizeof random; ++i)
            name[at + i] = kLetters[random[i] % (sizeof kLetters - 1)];
        if (::linkat(AT_FDCWD, opened.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            pattern = name;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// As WhyNotReplaceable, of a path already resolved.
std::string WhyNotReplaceableAt(const std::string& target, const FileStamp& analysed)
{
    const FileStamp now = StampOf(target);
    if (now.size < 0)
        return "it is gone";
    if (!(now == analysed))
        return "it changed while it was analysed";
    if (!Writable(target))
        return "it is read-only";
    if (!Writable(FolderOf(target)))
        return "its folder is read-only";
    return {};
}

} // namespace

std::string WhyNotReplaceable(const std::string& path, const FileStamp& analysed)
{
    return WhyNotReplaceableAt(Resolved(path), analysed);
}

std::string ReplaceWithChanged(const std::string& path, const FileStamp& analysed,
    const std::function<bool(const std::string& copy)>& change)
{
    const std::string target = Resolved(path), folder = FolderOf(target);
    if (std::string why = WhyNotReplaceableAt(target, analysed); !why.empty())
        return why;
    const size_t slash = target.rfind('/');
    // Named after the original, its extension last, which tells its format.
    const std::string tail = "-" + target.substr(slash + 1);
    std::string copy = folder + "/.beatwise-XXXXXX" + tail;
    const int from = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat original { };
    if (from < 0 || ::fstat(from, &original) != 0) {
        if (from >= 0)
            ::close(from);
        return Because("it could not be opened");
    }
    // Made unnamed where the file system allows, so that a kill while it is
    // made leaves nothing behind; named only once it is whole and flushed.
    static const bool unnamed = ::access("/proc/self/fd", X_OK) == 0;
    int to = unnamed ? ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600) : -1;
    const bool named = to < 0;
    if (named)
        to = ::mkostemps(copy.data(), int(tail.size()), O_CLOEXEC);
    if (to < 0) {
        ::close(from);
        return Because("no copy could be made beside it");
    }
    std::string why = CopyContents(from, to);
    if (why.empty())
        why = CopyAttributes(from, to, original);
    ::close(from);
    // TagLib opens the copy by a name: an unnamed one by its descriptor's.
    const std::string opened = named ? copy : "/proc/self/fd/" + std::to_string(to);
    if (why.empty() && !change(opened))
        why = "its tag could not be written";
    if (why.empty() && ::fsync(to) != 0)
        why = Because("its copy could not be flushed to disk");
    // Someone may have changed the file while it was copied.
    if (why.empty() && !(StampOf(target) == analysed))
        why = "it changed while it was analysed";
    if (why.empty() && !named && !LinkedBeside(opened, copy))
        why = Because("its copy could not be named");
    if (::close(to) != 0 && why.empty())
        why = Because("its copy could not be written");
    if (why.empty() && ::rename(copy.c_str(), target.c_str()) != 0)
        why = Because("its copy could not replace it");
    if (!why.empty()) {
        if (named || copy.find("XXXXXX") == std::string::npos)
            ::unlink(copy.c_str());
        return why;
    }
    const int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory); // the rename itself survives a power cut
        ::close(directory);
    }
    return {};
}

} // namespace tags
