#include "platform/text_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
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

// The reason for a failed write, as the player should read it.
std::string WriteReason(int err)
{
    switch (err) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return "ディスクの空き容量が不足しています";
    case EACCES:
    case EPERM:
        return "書き込みが許可されていません";
    case EROFS:
        return "読み取り専用の場所です";
    case ENOENT:
    case ENOTDIR:
        return "フォルダが見つかりません";
    case EISDIR:
        return "フォルダには保存できません";
    case ENAMETOOLONG:
        return "ファイル名が長すぎます";
    default:
        return std::string("書き込みに失敗しました (") + std::strerror(err) + ")";
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

bool TextFileReader::Open(const std::string& path)
{
    m_text.clear();
    m_pos = 0;
    m_error = OpenError::None;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        m_error = ErrorFromErrno(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        m_error = OpenError::NotAFile;
        ::close(fd);
        return false;
    }
    if (static_cast<std::size_t>(st.st_size) > kMaxSize) {
        m_error = OpenError::TooLarge;
        ::close(fd);
        return false;
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_error = ErrorFromErrno(errno);
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > kMaxSize) {
            m_error = OpenError::TooLarge;
            ::close(fd);
            return false;
        }
    }
    ::close(fd);
    OpenText(std::move(text));
    return true;
}

void TextFileReader::OpenText(std::string text)
{
    m_text = std::move(text);
    m_pos = 0;
    m_error = OpenError::None;
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

bool WriteLinesAtomically(const std::string& path, const std::vector<std::string>& lines,
                          std::string* error)
{
    return WriteTextAtomically(path, JoinLines(lines), error);
}

bool WriteTextAtomically(const std::string& path, const std::string& text, std::string* error)
{
    namespace fs = std::filesystem;
    auto fail = [&](std::string reason) {
        if (error)
            *error = std::move(reason);
        return false;
    };
    if (path.empty())
        return fail("ファイル名がありません");

    // Write through a symbolic link to the file it names, so the link stays a link.
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(fs::symlink_status(target, ec)))
        target = fs::weakly_canonical(target, ec);

    struct stat st {};
    bool exists = ::stat(target.c_str(), &st) == 0;
    mode_t mode = 0666; // narrowed by the umask for a new file
    if (exists) {
        if (S_ISDIR(st.st_mode))
            return fail(WriteReason(EISDIR));
        if (!S_ISREG(st.st_mode))
            return fail("通常のファイルではないため保存できません");
        if (::access(target.c_str(), W_OK) != 0 || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            return fail("ファイルが読み取り専用です");
        mode = st.st_mode & 07777;
    }

    fs::path directory = target.parent_path();
    // A directory that nobody may write to is refused even for a user whom the system
    // would let through (the superuser), as a player who locked it would expect.
    struct stat dirSt {};
    if (::stat(directory.empty() ? "." : directory.c_str(), &dirSt) == 0 && S_ISDIR(dirSt.st_mode) &&
        (dirSt.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return fail(WriteReason(EACCES));

    // The temporary file's name must fit wherever the target's fits (255 bytes on the
    // usual file systems): only the first bytes of a long name go into it, leaving room
    // for the dot and ".tmp-<pid>-<n>".
    constexpr std::size_t kTempNameStem = 200;
    std::string stem = target.filename().string();
    if (stem.size() > kTempNameStem)
        stem.resize(kTempNameStem);
    static std::atomic<unsigned> counter{0};
    std::string temp = (directory.empty() ? std::string() : directory.string() + "/") + "." + stem + ".tmp-" +
                       std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return fail(WriteReason(errno));
    if (exists)
        ::fchmod(fd, mode); // keep the permissions of the file being replaced

    int err = 0;
    if (!WriteAll(fd, text.data(), text.size()))
        err = errno;
    else if (::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return fail(WriteReason(err));
    }
    // Make the rename itself durable; a failure here leaves a complete file either way.
    int dirFd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

} // namespace platform
