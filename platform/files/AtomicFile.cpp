#include "platform/files/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qtmv::files {

namespace {

constexpr std::string_view kInfix = ".qtmv-";
constexpr std::string_view kSuffix = ".part";
constexpr std::size_t kRandomLength = 8;
// What SQLite keeps beside a database file while it is written.
constexpr const char* kJournals[] = {"-journal", "-wal", "-shm"};

[[noreturn]] void Fail(const std::string& what, int error)
{
    throw OutputError(what + "（" + std::strerror(error) + "）");
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string RandomPartName(const std::string& target)
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device rd;
    std::string name = target + std::string(kInfix);
    for (std::size_t i = 0; i < kRandomLength; ++i)
        name += kAlphabet[rd() % (sizeof kAlphabet - 1)];
    return name + std::string(kSuffix);
}

// A part file's name: anything, ".qtmv-", eight letters or digits, ".part".
bool IsPartName(std::string_view name)
{
    const std::size_t tail = kInfix.size() + kRandomLength + kSuffix.size();
    if (name.size() <= tail || !name.ends_with(kSuffix))
        return false;
    const std::string_view marked = name.substr(name.size() - tail);
    if (!marked.starts_with(kInfix))
        return false;
    for (const char c : marked.substr(kInfix.size(), kRandomLength))
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Whether path still names the file open as fd.
bool Names(const std::string& path, int fd)
{
    struct stat byName {}, open {};
    return ::lstat(path.c_str(), &byName) == 0 && ::fstat(fd, &open) == 0 && SameFile(byName, open);
}

void RemoveJournals(const std::string& part)
{
    for (const char* journal : kJournals)
        ::unlink((part + journal).c_str());
}

// A rename that never replaces an existing file.
int RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // A file system without the flag: a hard link fails on an existing name too.
    if (::link(from.c_str(), to.c_str()) != 0)
        return -1;
    ::unlink(from.c_str());
    return 0;
}

void SyncFolder(const std::string& folder)
{
    // Makes the rename itself durable; some file systems refuse, which
    // costs only that.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void CheckReplaceable(const std::string& target)
{
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) {
        if (errno == ENOENT)
            return;
        Fail("無法檢查檔案", errno);
    }
    if (!S_ISREG(st.st_mode))
        throw OutputError("不是一般檔案，不會覆蓋");
    const bool readOnly = ::geteuid() == 0 ? (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0
                                           : ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0;
    if (readOnly)
        throw OutputError("檔案是唯讀的，不會覆蓋");
}

int RemoveStaleParts(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    std::vector<std::string> parts, journals;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (IsPartName(name))
            parts.emplace_back(name);
        for (const std::string_view journal : kJournals)
            if (name.ends_with(journal) && IsPartName(name.substr(0, name.size() - journal.size())))
                journals.emplace_back(name);
    }
    ::closedir(dir);
    int removed = 0;
    for (const auto& name : parts) {
        const std::string path = folder + "/" + name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        // A live writer holds its part locked to the end.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && Names(path, fd)
            && ::unlink(path.c_str()) == 0) {
            RemoveJournals(path);
            ++removed;
        }
        ::close(fd);
    }
    // Journals whose database part is gone belong to no one.
    for (const auto& name : journals) {
        const std::string path = folder + "/" + name;
        const std::string part = path.substr(0, path.rfind('-'));
        struct stat st {};
        if (::lstat(part.c_str(), &st) != 0 && errno == ENOENT)
            ::unlink(path.c_str());
    }
    return removed;
}

AtomicFile::AtomicFile(std::string target, Existing existing) : AtomicFile(std::move(target), existing, nullptr) {}

AtomicFile::AtomicFile(std::string target, Existing existing, const std::function<void(const std::string&)>& create)
    : target_(std::move(target)), existing_(existing)
{
    struct stat st {};
    if (::lstat(target_.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(target_.c_str(), nullptr)) {
            target_ = real;
            std::free(real);
        }
    }
    if (existing_ == Existing::Refuse) {
        if (::lstat(target_.c_str(), &st) == 0)
            throw OutputError("檔案已經存在，不會覆蓋");
    } else {
        CheckReplaceable(target_);
    }
    RemoveStaleParts(FolderOf(target_));
    open(create);
}

void AtomicFile::open(const std::function<void(const std::string&)>& create)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        part_ = RandomPartName(target_);
        if (create) {
            create(part_);
            fd_ = ::open(part_.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        } else {
            fd_ = ::open(part_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd_ < 0 && errno == EEXIST)
                continue;
        }
        if (fd_ < 0) {
            const int error = errno;
            ::unlink(part_.c_str());
            done_ = true;
            Fail("無法建立暫存檔", error);
        }
        // Locked before anything else is done with it; another output that
        // tidied the folder in between has removed it: start again.
        if (::flock(fd_, LOCK_EX) == 0 && Names(part_, fd_)) {
            struct stat old {};
            if (existing_ == Existing::Replace && ::stat(target_.c_str(), &old) == 0) {
                // The new file keeps the permissions (and, for root, the
                // owner) of the one it replaces.
                ::fchmod(fd_, old.st_mode & 07777);
                if (::geteuid() == 0 && ::fchown(fd_, old.st_uid, old.st_gid) != 0)
                    ::fchmod(fd_, old.st_mode & 0777);
            }
            return;
        }
        ::close(fd_);
        fd_ = -1;
    }
    done_ = true;
    throw OutputError("無法建立暫存檔");
}

AtomicFile::~AtomicFile()
{
    discard();
}

void AtomicFile::discard() noexcept
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!done_) {
        ::unlink(part_.c_str());
        RemoveJournals(part_);
    }
    done_ = true;
}

void AtomicFile::write(std::string_view bytes)
{
    if (fd_ < 0)
        throw OutputError("檔案已經關閉");
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail("寫入失敗", errno);
        }
        if (n == 0)
            throw OutputError("寫入失敗");
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void AtomicFile::sync()
{
    if (synced_)
        return;
    if (fd_ < 0)
        throw OutputError("檔案已經關閉");
    if (::fsync(fd_) != 0)
        Fail("寫入失敗", errno);
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        Fail("寫入失敗", errno);
    if (st.st_size == 0)
        throw OutputError("寫入的檔案是空的");
    if (!Names(part_, fd_))
        throw OutputError("暫存檔不見了");
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        Fail("寫入失敗", errno);
    synced_ = true;
}

void AtomicFile::publish()
{
    if (existing_ == Existing::Refuse ? RenameNoReplace(part_, target_) != 0
                                      : ::rename(part_.c_str(), target_.c_str()) != 0) {
        if (errno == EEXIST)
            throw OutputError("檔案已經存在，不會覆蓋");
        Fail("無法換上新檔", errno);
    }
    done_ = true;
    SyncFolder(FolderOf(target_));
}

void AtomicFile::commit()
{
    commitAll({this});
}

void AtomicFile::commitAll(const std::vector<AtomicFile*>& outputs)
{
    try {
        for (AtomicFile* f : outputs)
            f->sync();
        for (AtomicFile* f : outputs)
            f->publish();
    } catch (...) {
        for (AtomicFile* f : outputs)
            f->discard();
        throw;
    }
}

} // namespace qtmv::files
