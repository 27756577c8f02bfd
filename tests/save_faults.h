// SPDX-License-Identifier: GPL-3.0-or-later
// Places a save must fail in, for the tests of the writer, the country file and the
// save command: each case names a target, the file beside it that must keep every
// byte, and the words the player's message must contain. Also a limit on the size of
// files written and a small file system that can be filled, to make a write fail
// half-way as on a full disk.
#pragma once

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "test_support.h"

struct SaveFault {
    std::string what;     // the case, for failure messages
    std::string target;   // where the save goes
    std::string previous; // a file that must keep its bytes; empty when there is none
    std::string reason;   // a part of the message for the player
};

inline const std::string kPreviousSave = "previous save\r\n";

// Sets the cases up inside dir. A previous save stands at each place that can hold one.
inline std::vector<SaveFault> MakeSaveFaults(const TempDir& dir)
{
    namespace fs = std::filesystem;
    std::vector<SaveFault> faults;

    fs::create_directory(dir.Path("folder"));
    WriteFileBytes(dir.Path("folder/save.txt"), kPreviousSave);
    faults.push_back({"a folder as the target", dir.Path("folder"), dir.Path("folder/save.txt"),
                      "フォルダには保存できません"});

    faults.push_back({"a path through a missing folder", dir.Path("missing/save.txt"), "", "フォルダが見つかりません"});

    WriteFileBytes(dir.Path("plain.txt"), kPreviousSave);
    faults.push_back({"a path through a file", dir.Path("plain.txt/save.txt"), dir.Path("plain.txt"),
                      "フォルダが見つかりません"});

    WriteFileBytes(dir.Path("readonly.txt"), kPreviousSave);
    ::chmod(dir.Path("readonly.txt").c_str(), 0444);
    faults.push_back({"a read-only save", dir.Path("readonly.txt"), dir.Path("readonly.txt"), "読み取り専用"});

    // Refused for every user, the superuser too: nobody has the write permission.
    fs::create_directory(dir.Path("locked"));
    WriteFileBytes(dir.Path("locked/save.txt"), kPreviousSave);
    ::chmod(dir.Path("locked").c_str(), 0555);
    faults.push_back({"a folder nobody may write to", dir.Path("locked/save.txt"), dir.Path("locked/save.txt"),
                      "書き込みが許可されていません"});

    // Writes to /dev/full fail with "no space"; the writer never replaces a device.
    faults.push_back({"the full device", "/dev/full", "", "通常のファイルではない"});
    fs::create_symlink("/dev/full", dir.Path("full.txt"));
    faults.push_back({"a link to the full device", dir.Path("full.txt"), "", "通常のファイルではない"});
    return faults;
}

// Every entry under root (the names and, for plain files, their bytes), to show that
// a failed save leaves nothing behind and changes nothing.
inline std::vector<std::string> Listing(const std::string& root)
{
    namespace fs = std::filesystem;
    std::vector<std::string> entries;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        std::string entry = it->path().string();
        if (it->is_symlink(ec))
            entry += " -> " + fs::read_symlink(it->path(), ec).string();
        else if (it->is_regular_file(ec))
            entry += " = " + ReadFileBytes(it->path().string());
        entries.push_back(entry);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// Temporary files of the writer (".<name>.tmp-...") in directory.
inline std::vector<std::string> TempFilesIn(const std::string& directory)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(directory, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 1 && name[0] == '.' && name.find(".tmp-") != std::string::npos)
            names.push_back(name);
    }
    return names;
}

// While it lives, no file of the process may grow beyond bytes: a write past the limit
// fails with EFBIG, as a write to a full disk fails with ENOSPC. SIGXFSZ is ignored.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_active = ::getrlimit(RLIMIT_FSIZE, &m_previous) == 0;
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        m_active = m_active && ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_active)
            ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool Active() const { return m_active; }

private:
    rlimit m_previous{};
    void (*m_handler)(int) = SIG_DFL;
    bool m_active = false;
};

// A tmpfs of a few pages mounted on a new folder, for the superuser where mounting is
// allowed (not in every container). Unmounted when it goes.
class SmallFileSystem {
public:
    SmallFileSystem(const std::string& path, int kilobytes) : m_path(path)
    {
        if (::geteuid() != 0) {
            m_reason = "mounting a small file system needs the superuser";
            return;
        }
        std::filesystem::create_directory(path);
        const std::string options = "size=" + std::to_string(kilobytes) + "k";
        if (::mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            m_reason = std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
            return;
        }
        m_mounted = true;
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            ::umount2(m_path.c_str(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool Mounted() const { return m_mounted; }
    const std::string& Reason() const { return m_reason; }

    // Writes a filler file until the file system is full; false when it never fills.
    bool Fill(const std::string& name = "filler")
    {
        const std::string path = m_path + "/" + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        const std::string block(4096, 'x');
        bool full = false;
        for (int i = 0; i < 1 << 20 && !full; ++i) {
            const ssize_t n = ::write(fd, block.data(), block.size());
            full = n < static_cast<ssize_t>(block.size()) && (n >= 0 || errno == ENOSPC);
        }
        // A short write may leave a few bytes free: fill them too.
        while (full && ::write(fd, "x", 1) == 1) {
        }
        ::close(fd);
        return full;
    }
    // Makes the file system read-only (files already there stay readable).
    bool MakeReadOnly() { return ::mount(nullptr, m_path.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0; }

private:
    std::string m_path;
    std::string m_reason;
    bool m_mounted = false;
};
