// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/output_files.h"

#include <filesystem>
#include <ostream>

#include <sys/stat.h>

#include "platform/text_file.h"

namespace platform {

namespace {

// What tells one file from another: its device and inode when it exists, else the
// absolute path it would be created at.
std::string FileIdentity(const std::string& path)
{
    int err = 0;
    const std::string target = FollowLinks(path, err);
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0)
        return "inode " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(target, ec);
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, ec);
    return "path " + (ec ? absolute : canonical).lexically_normal().string();
}

} // namespace

std::string OutputFilesRefusal(const std::vector<NamedFile>& files)
{
    std::vector<std::string> identities;
    for (const NamedFile& file : files)
        identities.push_back(FileIdentity(file.path));
    for (std::size_t b = 0; b < files.size(); ++b) {
        if (!files[b].written)
            continue;
        for (std::size_t a = 0; a < files.size(); ++a) {
            if (a == b || identities[a] != identities[b] || (files[a].written && a > b) ||
                (!files[a].sharedWith.empty() && files[a].sharedWith == files[b].option) ||
                (!files[b].sharedWith.empty() && files[b].sharedWith == files[a].option))
                continue;
            if (!files[a].written)
                return files[b].option + " would overwrite a file the game reads (" + files[b].path + ")";
            return files[a].option + " and " + files[b].option + " name the same file (" + files[b].path + ")";
        }
    }
    for (const NamedFile& file : files) {
        // A link in the place of a file kept beside a save gives way to it: the file the
        // link names is not looked at.
        struct stat st {};
        if (!file.written || (file.beside && ::lstat(file.path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)))
            continue;
        if (const std::string refusal = WriteRefusal(file.path); !refusal.empty())
            return file.path + ": " + refusal;
    }
    return {};
}

bool FlushPrinted(std::ostream& out, std::ostream& err)
{
    if (out.flush())
        return true;
    err << "velcor: the standard output could not be written whole\n" << std::flush;
    return false;
}

} // namespace platform
