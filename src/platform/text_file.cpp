// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text_file.h"

#include "platform/message.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

OpenError ErrorFromErrno(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return OpenError::NotFound;
    case EACCES:
    case EPERM:
        return OpenError::AccessDenied;
    case EISDIR:
        return OpenError::NotAFile;
    default:
        return OpenError::Other;
    }
}

// Why a file cannot be read or written, as the player should read it. A reason with a
// figure or the system's own words is a pattern (%1 stands for them).
constexpr const char* kNoFile = VELCOR_TEXT("Message", "ファイルがありません");
constexpr const char* kNoFolder = VELCOR_TEXT("Message", "フォルダが見つかりません");
constexpr const char* kReadDenied = VELCOR_TEXT("Message", "読み込みが許可されていません");
constexpr const char* kFolderUnread = VELCOR_TEXT("Message", "フォルダは読み込めません");
constexpr const char* kLinkLoop = VELCOR_TEXT("Message", "シンボリックリンクが循環しています");
constexpr const char* kNameTooLong = VELCOR_TEXT("Message", "ファイル名が長すぎます");
constexpr const char* kNotAFile = VELCOR_TEXT("Message", "通常のファイルではありません");
constexpr const char* kTooLarge = VELCOR_TEXT("Message", "ファイルが大きすぎます (%1 MB まで)");
constexpr const char* kUnreadable = VELCOR_TEXT("Message", "読み込めません (%1)");
constexpr const char* kDiskFull = VELCOR_TEXT("Message", "ディスクの空き容量が不足しています");
constexpr const char* kWriteDenied = VELCOR_TEXT("Message", "書き込みが許可されていません");
constexpr const char* kReadOnlyPlace = VELCOR_TEXT("Message", "読み取り専用の場所です");
constexpr const char* kFolderUnwritten = VELCOR_TEXT("Message", "フォルダには保存できません");
constexpr const char* kUnwritable = VELCOR_TEXT("Message", "書き込みに失敗しました (%1)");
constexpr const char* kNoName = VELCOR_TEXT("Message", "ファイル名がありません");
constexpr const char* kNotAFileToSave = VELCOR_TEXT("Message", "通常のファイルではないため保存できません");
constexpr const char* kReadOnlyFile = VELCOR_TEXT("Message", "ファイルが読み取り専用です");

constexpr const char* kReasons[] = {kNoFile,      kNoFolder,     kReadDenied,    kFolderUnread,    kLinkLoop,
                                    kNameTooLong, kNotAFile,     kTooLarge,      kUnreadable,      kDiskFull,
                                    kWriteDenied, kReadOnlyPlace, kFolderUnwritten, kUnwritable, kNoName,
                                    kNotAFileToSave, kReadOnlyFile};

// The reason a file cannot be read, as the player should read it.
std::string ReadReason(int err)
{
    switch (err) {
    case ENOENT:
        return kNoFile;
    case ENOTDIR:
        return kNoFolder;
    case EACCES:
    case EPERM:
        return kReadDenied;
    case EISDIR:
        return kFolderUnread;
    case ELOOP:
        return kLinkLoop;
    case ENAMETOOLONG:
        return kNameTooLong;
    default:
        return FillPattern(kUnreadable, {std::strerror(err)});
    }
}

std::string NotAFileReason(mode_t mode) { return S_ISDIR(mode) ? ReadReason(EISDIR) : std::string(kNotAFile); }

std::string TooLargeReason(std::size_t maxSize)
{
    return FillPattern(kTooLarge, {std::to_string(maxSize / (1024 * 1024))});
}

// The reason for a failed write, as the player should read it.
std::string WriteReason(int err)
{
    switch (err) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return kDiskFull;
    case EACCES:
    case EPERM:
        return kWriteDenied;
    case EROFS:
        return kReadOnlyPlace;
    case ENOENT:
    case ENOTDIR:
        return kNoFolder;
    case EISDIR:
        return kFolderUnwritten;
    case ENAMETOOLONG:
        return kNameTooLong;
    case ELOOP:
        return kLinkLoop;
    default:
        return FillPattern(kUnwritable, {std::strerror(err)});
    }
}

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes, OpenError* error, std::string* reason,
                  std::size_t maxSize)
{
    bytes.clear();
    auto refuse = [&](OpenError kind, std::string why) {
        if (error)
            *error = kind;
        if (reason)
            *reason = std::move(why);
        return false;
    };
    auto refuseErrno = [&](int err) { return refuse(ErrorFromErrno(err), ReadReason(err)); };
    // What the path names is looked at before it is opened: opening a pipe waits for
    // a writer, and opening a device may have effects of its own.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return refuseErrno(errno);
    if (!S_ISREG(st.st_mode))
        return refuse(OpenError::NotAFile, NotAFileReason(st.st_mode));
    if (static_cast<std::uint64_t>(st.st_size) > maxSize)
        return refuse(OpenError::TooLarge, TooLargeReason(maxSize));
    // Without blocking, in case the path has been replaced by a pipe since.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return refuseErrno(errno);
    auto closeAnd = [fd](bool result) {
        ::close(fd);
        return result;
    };
    if (::fstat(fd, &st) != 0)
        return closeAnd(refuseErrno(errno));
    if (!S_ISREG(st.st_mode))
        return closeAnd(refuse(OpenError::NotAFile, NotAFileReason(st.st_mode)));
    std::string text;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return closeAnd(refuseErrno(errno));
        }
        if (n == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > maxSize)
            return closeAnd(refuse(OpenError::TooLarge, TooLargeReason(maxSize)));
    }
    ::close(fd);
    bytes = std::move(text);
    return true;
}

bool TextFileReader::Open(const std::string& path, std::size_t maxSize)
{
    std::string text;
    OpenError error = OpenError::None;
    std::string reason;
    if (!ReadWholeFile(path, text, &error, &reason, maxSize)) {
        m_text.clear();
        m_pos = 0;
        m_error = error;
        m_reason = std::move(reason);
        return false;
    }
    OpenText(std::move(text));
    return true;
}

void TextFileReader::OpenText(std::string text)
{
    m_text = std::move(text);
    m_pos = 0;
    m_error = OpenError::None;
    m_reason.clear();
}

bool TextFileReader::ReadLine(std::string& line)
{
    if (m_pos >= m_text.size())
        return false;
    std::size_t end = m_text.find('\n', m_pos);
    std::size_t next = end == std::string::npos ? m_text.size() : end + 1;
    if (end == std::string::npos)
        end = m_text.size();
    if (end > m_pos && m_text[end - 1] == '\r')
        --end;
    line.assign(m_text, m_pos, end - m_pos);
    m_pos = next;
    return true;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string FollowLinks(std::string path, int& err)
{
    constexpr int kMaxLinks = 40; // as the system counts
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        if (hops == kMaxLinks) {
            err = ELOOP;
            return path;
        }
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) {
            err = errno;
            return path;
        }
        link.resize(static_cast<std::size_t>(n));
        const std::size_t slash = path.rfind('/');
        if (link.empty() || link[0] == '/' || slash == std::string::npos)
            path = link;
        else
            path = path.substr(0, slash + 1) + link;
    }
}

namespace {

// The part of a temporary file's name that comes from its target: the first bytes of
// a long name only, so that the whole name fits wherever the target's fits (255 bytes
// on the usual file systems), leaving room for the dot and ".tmp-<pid>-<n>".
std::string TempPrefix(const std::string& fileName)
{
    constexpr std::size_t kTempNameStem = 200;
    return "." + fileName.substr(0, kTempNameStem) + ".tmp-";
}

// The number a temporary file's name gives its owner, and whether a process of that
// number still runs. Under WebAssembly every module has the same pid (42) and no way to
// ask after another process, so it names its files by a number drawn once, and a file
// of another number is never taken for stale.
#ifdef __EMSCRIPTEN__
pid_t OwnProcessNumber()
{
    static const pid_t number = [] {
        std::random_device entropy;
        return static_cast<pid_t>(entropy() % 1000000000u + 1u);
    }();
    return number;
}
bool ProcessMayRun(pid_t) { return true; }
#else
pid_t OwnProcessNumber() { return ::getpid(); }
bool ProcessMayRun(pid_t owner) { return ::kill(owner, 0) == 0 || errno != ESRCH; }
#endif

// The process id in a temporary file's name "<prefix><pid>-<n>", or 0 when name is
// not one of prefix's.
pid_t TempOwner(const std::string& name, const std::string& prefix)
{
    if (name.compare(0, prefix.size(), prefix) != 0)
        return 0;
    const std::size_t dash = name.find('-', prefix.size());
    auto digits = [&](std::size_t from, std::size_t to) {
        if (from >= to || to - from > 18)
            return false;
        for (std::size_t i = from; i < to; ++i)
            if (name[i] < '0' || name[i] > '9')
                return false;
        return true;
    };
    if (dash == std::string::npos || !digits(prefix.size(), dash) || !digits(dash + 1, name.size()))
        return 0;
    const long long pid = std::stoll(name.substr(prefix.size(), dash - prefix.size()));
    return pid > 0 && pid <= std::numeric_limits<pid_t>::max() ? static_cast<pid_t>(pid) : 0;
}

// Removes the temporary files of prefix in directory that a save killed half-way
// left behind: those whose process no longer runs.
void RemoveStaleTemps(const std::string& directory, const std::string& prefix)
{
    DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const pid_t owner = TempOwner(name, prefix);
        if (owner == 0 || owner == OwnProcessNumber() || ProcessMayRun(owner))
            continue;
        const std::string path = (directory.empty() ? std::string() : directory + "/") + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            ::unlink(path.c_str());
    }
    ::closedir(dir);
}

// Where a save to a path goes, once its links are followed.
struct Destination {
    std::string target;    // the file written
    std::string directory; // its folder; empty for the current one
    std::string fileName;
    struct stat st {};     // the file's, when it exists
    bool exists = false;
};

// Finds where a save to path goes and applies the rule of what may be replaced; the
// reason when the save is refused, else empty.
std::string Resolve(const std::string& path, Destination& d)
{
    if (path.empty())
        return kNoName;
    // Through a symbolic link to the file it names, so the link stays a link.
    int linkError = 0;
    d.target = FollowLinks(path, linkError);
    if (linkError != 0)
        return WriteReason(linkError);
    d.exists = ::stat(d.target.c_str(), &d.st) == 0;
    if (d.exists) {
        if (S_ISDIR(d.st.st_mode))
            return WriteReason(EISDIR);
        if (!S_ISREG(d.st.st_mode))
            return kNotAFileToSave;
        // The permission bits decide, not only the system's answer, which lets the
        // superuser through: a file the player made read-only stays as it is.
        if (::access(d.target.c_str(), W_OK) != 0 || (d.st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            return kReadOnlyFile;
    }
    const std::size_t slash = d.target.rfind('/');
    d.directory = slash == std::string::npos ? std::string() : d.target.substr(0, slash == 0 ? 1 : slash);
    d.fileName = slash == std::string::npos ? d.target : d.target.substr(slash + 1);
    // A directory that nobody may write to is refused even for a user whom the system
    // would let through (the superuser), as a player who locked it would expect.
    struct stat dirSt {};
    if (::stat(d.directory.empty() ? "." : d.directory.c_str(), &dirSt) == 0 && S_ISDIR(dirSt.st_mode) &&
        (dirSt.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return WriteReason(EACCES);
    return {};
}

} // namespace

bool WriteLinesAtomically(const std::string& path, const std::vector<std::string>& lines,
                          std::string* error)
{
    return WriteTextAtomically(path, JoinLines(lines), error);
}

bool WriteTextAtomically(const std::string& path, const std::string& text, std::string* error)
{
    AtomicFileWriter file;
    if (!file.Open(path, error))
        return false;
    file.Write(text);
    return file.Commit(error);
}

std::string WriteRefusal(const std::string& path)
{
    Destination d;
    return Resolve(path, d);
}

AtomicFileWriter::~AtomicFileWriter() { Discard(); }

bool AtomicFileWriter::Open(const std::string& path, std::string* error)
{
    Discard();
    m_error = 0;
    auto fail = [&](std::string reason) {
        if (error)
            *error = std::move(reason);
        return false;
    };
    Destination d;
    if (std::string refusal = Resolve(path, d); !refusal.empty())
        return fail(std::move(refusal));
    const mode_t mode = d.exists ? d.st.st_mode & 07777 : 0666; // narrowed by the umask for a new file

    const std::string prefix = TempPrefix(d.fileName);
    RemoveStaleTemps(d.directory, prefix);
    static std::atomic<unsigned> counter{0};
    const std::string temp = (d.directory.empty() ? std::string() : d.directory + (d.directory == "/" ? "" : "/")) +
                             prefix + std::to_string(OwnProcessNumber()) + "-" + std::to_string(counter.fetch_add(1));
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return fail(WriteReason(errno));
    if (d.exists) {
        // Keep the owner and the permissions of the file being replaced, as far as the
        // process may set them (the owner only the superuser may give away). A change
        // of owner may clear the set-id bits, so the permissions come after it.
        [[maybe_unused]] const int owned = ::fchown(fd, d.st.st_uid, d.st.st_gid);
        ::fchmod(fd, mode);
    }
    m_fd = fd;
    m_target = d.target;
    m_temp = temp;
    m_directory = d.directory;
    return true;
}

void AtomicFileWriter::Write(std::string_view data)
{
    if (m_fd < 0 || m_error != 0)
        return;
    // Small pieces gather in memory and go to the file in large writes.
    constexpr std::size_t kFlushSize = 1 << 16;
    m_buffer.append(data);
    if (m_buffer.size() >= kFlushSize)
        Flush();
}

bool AtomicFileWriter::Flush()
{
    if (m_error == 0 && !WriteAll(m_fd, m_buffer.data(), m_buffer.size()))
        m_error = errno;
    m_buffer.clear();
    return m_error == 0;
}

bool AtomicFileWriter::Commit(std::string* error)
{
    if (m_fd < 0) {
        if (error)
            *error = WriteReason(m_error != 0 ? m_error : EBADF);
        return false;
    }
    Flush();
    if (m_error == 0 && ::fsync(m_fd) != 0)
        m_error = errno;
    if (::close(m_fd) != 0 && m_error == 0)
        m_error = errno;
    m_fd = -1;
    if (m_error == 0 && ::rename(m_temp.c_str(), m_target.c_str()) != 0)
        m_error = errno;
    if (m_error != 0) {
        Discard();
        if (error)
            *error = WriteReason(m_error);
        return false;
    }
    m_temp.clear();
    // Make the rename itself durable; a failure here leaves a complete file either way.
    const int dirFd = ::open(m_directory.empty() ? "." : m_directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

void AtomicFileWriter::Discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty())
        ::unlink(m_temp.c_str());
    m_temp.clear();
    m_buffer.clear();
}

Message ReasonWords(const std::string& reason)
{
    for (const char* pattern : kReasons) {
        const std::string_view p(pattern);
        const std::size_t slot = p.find("%1");
        if (slot == std::string_view::npos) {
            if (reason == p)
                return Message(pattern);
            continue;
        }
        const std::string_view before = p.substr(0, slot), after = p.substr(slot + 2);
        if (reason.size() >= before.size() + after.size() && reason.starts_with(before) && reason.ends_with(after))
            return Message(pattern, {Message::Plain(reason.substr(before.size(), reason.size() - before.size() - after.size()))});
    }
    return Message::Plain(reason);
}

} // namespace platform
