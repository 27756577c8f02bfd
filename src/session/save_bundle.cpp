// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/save_bundle.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "platform/text_file.h"
#include "session/game_record.h"
#include "session/save_companions.h"

namespace bundle {
namespace {

constexpr std::string_view kMagic = "VELCOR-BUNDLE ";
constexpr int kVersion = 1;
// The head is a few short lines; a bundle whose head runs longer is no bundle.
constexpr std::size_t kMaxHead = 1024;

constexpr const char* kNotBundle = VELCOR_TEXT("Message", "ﾊﾞﾝﾄﾞﾙではありません");
constexpr const char* kOtherVersion = VELCOR_TEXT("Message", "この版のﾊﾞﾝﾄﾞﾙは読めません: %1");
constexpr const char* kBadHead = VELCOR_TEXT("Message", "ﾊﾞﾝﾄﾞﾙの見出しが読めません: %1 行目");
constexpr const char* kUnknownPart = VELCOR_TEXT("Message", "ﾊﾞﾝﾄﾞﾙに知らない部分があります: %1");
constexpr const char* kPartTwice = VELCOR_TEXT("Message", "ﾊﾞﾝﾄﾞﾙに同じ部分が二つあります: %1");
constexpr const char* kTooLarge = VELCOR_TEXT("Message", "ﾊﾞﾝﾄﾞﾙが大きすぎます (%1 MBまで)");
constexpr const char* kNoSave = VELCOR_TEXT("Message", "ﾊﾞﾝﾄﾞﾙにｾｰﾌﾞがありません");
constexpr const char* kCut = VELCOR_TEXT("Message", "ﾊﾞﾝﾄﾞﾙが途中で切れています");
constexpr const char* kLeftOver = VELCOR_TEXT("Message", "ﾊﾞﾝﾄﾞﾙの終わりに余分なﾃﾞｰﾀがあります");
constexpr const char* kDamaged = VELCOR_TEXT("Message", "ﾊﾞﾝﾄﾞﾙの %1 が壊れています");

// The parts a bundle may hold: the save, then its companions in SaveCompanions' order.
constexpr std::array<std::string_view, 5> kPartNames = {"save", "chronicle", "difficulty", "seats", "record"};

platform::Message Refused(const char* pattern, std::string argument = {})
{
    if (argument.empty())
        return platform::Message(pattern);
    return platform::Message(pattern, {platform::Message::Plain(std::move(argument))});
}

// Each file a part is kept in beside the save at savePath, in kPartNames' order.
std::vector<std::string> PartFiles(const std::string& savePath)
{
    std::vector<std::string> files{savePath};
    for (std::string& companion : SaveCompanions(savePath))
        files.push_back(std::move(companion));
    return files;
}

// A number as the bundle writes it: digits only (lowercase in hexadecimal), no sign, no
// leading zero in decimal, that fits; so that one bundle has one spelling.
template <typename T>
bool ParseNumber(std::string_view text, T& value, int base)
{
    if (text.empty() || text.size() > 10 || (base == 10 && text.size() > 1 && text[0] == '0') ||
        text.find_first_not_of(base == 10 ? "0123456789" : "0123456789abcdef") != std::string_view::npos)
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && end == text.data() + text.size();
}

std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at <= line.size()) {
        const std::size_t space = std::min(line.find(' ', at), line.size());
        words.push_back(line.substr(at, space - at));
        at = space + 1;
    }
    return words;
}

struct Entry {
    std::string name;
    std::size_t size = 0;
    std::uint32_t crc = 0;
};

} // namespace

bool LooksLikeBundle(std::string_view bytes) { return bytes.substr(0, kMagic.size()) == kMagic; }

bool FileLooksLikeBundle(const std::string& path)
{
    std::string bytes;
    return platform::ReadWholeFile(path, bytes, nullptr, nullptr, kMaxBundleSize) && LooksLikeBundle(bytes);
}

std::string Write(const std::vector<Part>& parts)
{
    std::string text(kMagic);
    text += std::to_string(kVersion) + '\n';
    for (const Part& part : parts) {
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08x", static_cast<unsigned>(Crc32(part.bytes)));
        text += part.name + ' ' + std::to_string(part.bytes.size()) + ' ' + crc + '\n';
    }
    text += '\n';
    for (const Part& part : parts)
        text += part.bytes;
    return text;
}

std::optional<std::vector<Part>> Read(std::string_view bytes, platform::Message* why)
{
    platform::Message refusal;
    const auto refuse = [&](platform::Message message) -> std::optional<std::vector<Part>> {
        if (why)
            *why = std::move(message);
        return std::nullopt;
    };
    if (bytes.size() > kMaxBundleSize)
        return refuse(platform::Message(kTooLarge, {platform::Message::Number(kMaxBundleSize / (1024 * 1024))}));
    if (!LooksLikeBundle(bytes))
        return refuse(Refused(kNotBundle));
    const std::size_t headEnd = bytes.substr(0, kMaxHead).find("\n\n");
    if (headEnd == std::string_view::npos)
        return refuse(bytes.size() < kMaxHead ? Refused(kCut) : Refused(kBadHead, "1"));
    const std::string_view head = bytes.substr(0, headEnd + 1);
    std::vector<Entry> entries;
    std::size_t lineNumber = 0;
    std::size_t total = 0;
    for (std::size_t at = 0; at < head.size();) {
        const std::size_t end = head.find('\n', at);
        const std::string_view line = head.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        if (lineNumber == 1) {
            const std::string_view version = line.substr(kMagic.size());
            int number = 0;
            if (!ParseNumber(version, number, 10) || number != kVersion)
                return refuse(Refused(kOtherVersion, std::string(version)));
            continue;
        }
        const std::vector<std::string_view> words = Words(line);
        Entry entry;
        if (words.size() != 3 || !ParseNumber(words[1], entry.size, 10) || words[2].size() != 8 ||
            !ParseNumber(words[2], entry.crc, 16))
            return refuse(Refused(kBadHead, std::to_string(lineNumber)));
        entry.name = std::string(words[0]);
        if (std::find(kPartNames.begin(), kPartNames.end(), entry.name) == kPartNames.end())
            return refuse(Refused(kUnknownPart, entry.name));
        if (std::any_of(entries.begin(), entries.end(), [&](const Entry& e) { return e.name == entry.name; }))
            return refuse(Refused(kPartTwice, entry.name));
        if (entry.size > kMaxPartSize)
            return refuse(platform::Message(kTooLarge, {platform::Message::Number(kMaxPartSize / (1024 * 1024))}));
        total += entry.size;
        entries.push_back(std::move(entry));
    }
    if (std::none_of(entries.begin(), entries.end(), [](const Entry& e) { return e.name == kPartNames[0]; }))
        return refuse(Refused(kNoSave));
    std::string_view body = bytes.substr(headEnd + 2);
    if (body.size() < total)
        return refuse(Refused(kCut));
    if (body.size() > total)
        return refuse(Refused(kLeftOver));
    std::vector<Part> parts;
    for (const Entry& entry : entries) {
        Part part{entry.name, std::string(body.substr(0, entry.size))};
        body.remove_prefix(entry.size);
        if (Crc32(part.bytes) != entry.crc)
            return refuse(Refused(kDamaged, entry.name));
        parts.push_back(std::move(part));
    }
    return parts;
}

bool BundleSave(const std::string& savePath, std::string& bundle, std::string* error)
{
    const std::vector<std::string> files = PartFiles(savePath);
    std::vector<Part> parts;
    std::size_t total = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        Part part{std::string(kPartNames[i]), {}};
        platform::OpenError openError = platform::OpenError::None;
        std::string reason;
        if (!platform::ReadWholeFile(files[i], part.bytes, &openError, &reason, kMaxPartSize)) {
            if (i > 0 && openError == platform::OpenError::NotFound)
                continue; // no such companion
            if (error)
                *error = files[i] + ": " + reason;
            return false;
        }
        total += part.bytes.size();
        parts.push_back(std::move(part));
    }
    std::string written = Write(parts);
    if (total > kMaxBundleSize || written.size() > kMaxBundleSize) {
        if (error)
            *error = platform::Message(kTooLarge, {platform::Message::Number(kMaxBundleSize / (1024 * 1024))}).Text();
        return false;
    }
    bundle = std::move(written);
    return true;
}

bool Unpack(std::string_view bytes, const std::string& savePath, platform::Message* why)
{
    const std::optional<std::vector<Part>> parts = Read(bytes, why);
    if (!parts)
        return false;
    const std::vector<std::string> files = PartFiles(savePath);
    const auto fail = [&](const std::string& path, const std::string& reason) {
        if (why)
            *why = platform::Message::Plain(path + ": " + reason);
        return false;
    };
    // Every place is asked first, so that a refused one stops the unpacking before a
    // file is written.
    for (const std::string& path : files) {
        std::error_code ignored;
        if (std::filesystem::is_directory(std::filesystem::symlink_status(path, ignored)) && path != savePath)
            continue;
        if (std::string refusal = platform::WriteRefusal(path); !refusal.empty())
            return fail(path, refusal);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto part = std::find_if(parts->begin(), parts->end(), [&](const Part& p) { return p.name == kPartNames[i]; });
        std::error_code ignored;
        if (part == parts->end()) {
            if (!std::filesystem::is_directory(std::filesystem::symlink_status(files[i], ignored)))
                std::filesystem::remove(files[i], ignored);
            continue;
        }
        std::string reason;
        if (!platform::WriteTextAtomically(files[i], part->bytes, &reason))
            return fail(files[i], reason);
    }
    return true;
}

} // namespace bundle
