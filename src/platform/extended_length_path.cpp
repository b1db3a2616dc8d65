#include "platform/extended_length_path.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "platform/path_syntax.h"
#include "platform/wildcard_match.h"

namespace velstrand {
namespace {

constexpr std::size_t kMaxExtendedLength = 32767;
constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view kSharePrefix = L"\\\\?\\UNC\\";

enum class Form { Device, Unc, Drive, DriveRelative, Rooted, Relative };

// Where ".." stops, in its extended spelling without a trailing separator, and the raw names below it.
struct Anchored {
    std::wstring root;
    // "X:\" and "\\.\" are folders only with their separator; a share is named without one.
    bool rootNeedsSeparator = true;
    std::vector<std::wstring_view> names;
};

Form Classify(std::wstring_view p) {
    if (p.size() >= 2 && IsSeparator(p[0]) && IsSeparator(p[1])) {
        const bool device = p.size() >= 3 && (p[2] == L'.' || p[2] == L'?') && (p.size() == 3 || IsSeparator(p[3]));
        return device ? Form::Device : Form::Unc;
    }
    if (p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == L':') {
        return p.size() >= 3 && IsSeparator(p[2]) ? Form::Drive : Form::DriveRelative;
    }
    return !p.empty() && IsSeparator(p[0]) ? Form::Rooted : Form::Relative;
}

// Runs of separators collapse because empty names are never kept.
void AppendNames(std::vector<std::wstring_view>& names, std::wstring_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && !IsSeparator(text[end])) {
            ++end;
        }
        if (end > start) {
            names.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
}

Anchored DriveRoot(std::wstring_view drive) {
    return Anchored{L"\\\\?\\" + std::wstring(drive), true, {}};
}

// Server and share together are the volume; ".." never takes either away.
std::optional<Anchored> UncRoot(std::wstring_view p) {
    Anchored anchored{L"\\\\?\\UNC", false, {}};
    AppendNames(anchored.names, p);
    if (anchored.names.empty()) {
        return std::nullopt;
    }
    const auto volumeEnd = anchored.names.begin() + std::min<std::ptrdiff_t>(std::ssize(anchored.names), 2);
    for (auto name = anchored.names.begin(); name != volumeEnd; ++name) {
        anchored.root += L'\\';
        anchored.root += *name;
    }
    anchored.names.erase(anchored.names.begin(), volumeEnd);
    return anchored;
}

std::optional<Anchored> AnchorAbsolute(std::wstring_view p, Form form) {
    switch (form) {
        case Form::Drive: {
            Anchored anchored = DriveRoot(p.substr(0, 2));
            AppendNames(anchored.names, p.substr(2));
            return anchored;
        }
        case Form::Unc:
            return UncRoot(p);
        case Form::Device: {
            // Every device path but one spelled exactly "\\?\" gets here; its prefix alone is its root, so ".." may
            // take the drive or the device name after it away.
            Anchored anchored{std::wstring{L'\\', L'\\', p[2]}, true, {}};
            AppendNames(anchored.names, p.substr(3));
            return anchored;
        }
        default:
            return std::nullopt;
    }
}

bool IsOnDrive(std::wstring_view folder, wchar_t letter) {
    return Classify(folder) == Form::Drive && FoldCase(folder[0]) == FoldCase(letter);
}

// Every relative form consults the current folder, so it must itself be a drive or share path.
std::optional<Anchored> AnchorRelative(std::wstring_view path, Form form, std::wstring_view currentFolder) {
    const Form folderForm = Classify(currentFolder);
    if (folderForm != Form::Drive && folderForm != Form::Unc) {
        return std::nullopt;
    }
    std::optional<Anchored> anchored = AnchorAbsolute(currentFolder, folderForm);
    if (!anchored) {
        return std::nullopt;
    }
    if (form == Form::Rooted) {
        anchored->names.clear();
    } else if (form == Form::DriveRelative) {
        // Windows would use the drive's own current folder, but only a console's cmd.exe keeps one per drive; a
        // GUI process has just its single current folder, so another drive means that drive's root.
        if (!IsOnDrive(currentFolder, path[0])) {
            anchored = DriveRoot(path.substr(0, 2));
        }
        path.remove_prefix(2);
    }
    AppendNames(anchored->names, path);
    return anchored;
}

// A folder name loses one trailing period, as Windows drops it: "dir." is "dir", "a.." is "a.". A name of three or
// more periods and nothing else is a name like any other, and Windows leaves it as it is.
std::wstring_view TrimFolderName(std::wstring_view name) {
    const bool onlyPeriods = name.find_first_not_of(L'.') == std::wstring_view::npos;
    if (name.ends_with(L'.') && !onlyPeriods) {
        name.remove_suffix(1);
    }
    return name;
}

// `endsInName`: the path does not end in a separator, so its last name is a name, not a folder's.
std::vector<std::wstring_view> Evaluate(const std::vector<std::wstring_view>& names, bool endsInName) {
    std::vector<std::wstring_view> kept;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == L".") {
            continue;
        }
        if (names[i] == L"..") {
            if (!kept.empty()) {
                kept.pop_back();
            }
            continue;
        }
        const bool lastName = endsInName && i + 1 == names.size();
        kept.push_back(lastName ? names[i] : TrimFolderName(names[i]));
    }
    return kept;
}

std::wstring Join(const Anchored& anchored, bool trailingSeparator) {
    const std::vector<std::wstring_view> names = Evaluate(anchored.names, !trailingSeparator);
    std::wstring joined = anchored.root;
    for (const std::wstring_view name : names) {
        joined += L'\\';
        joined += name;
    }
    // Callers append "*" to a folder that ends in a separator, so one given stays.
    if (trailingSeparator || (names.empty() && anchored.rootNeedsSeparator)) {
        joined += L'\\';
    }
    return joined;
}

}  // namespace

std::optional<std::wstring> ExtendedLengthPath(std::wstring_view path, std::wstring_view currentFolder) {
    std::optional<std::wstring> result;
    if (path.starts_with(kExtendedPrefix)) {
        result = std::wstring(path);
    } else if (!path.empty()) {
        const Form form = Classify(path);
        const bool absolute = form == Form::Drive || form == Form::Unc || form == Form::Device;
        const std::optional<Anchored> anchored =
            absolute ? AnchorAbsolute(path, form) : AnchorRelative(path, form, currentFolder);
        if (anchored) {
            result = Join(*anchored, IsSeparator(path.back()));
        }
    }
    if (result && result->size() > kMaxExtendedLength) {
        return std::nullopt;
    }
    return result;
}

std::optional<VolumePath> SplitOnVolume(std::wstring_view extendedPath) {
    if (!extendedPath.starts_with(kExtendedPrefix)) {
        return std::nullopt;
    }
    const std::wstring_view rest = extendedPath.substr(kExtendedPrefix.size());
    if (rest.size() >= 2 && IsDriveLetter(rest[0]) && rest[1] == L':' && (rest.size() == 2 || rest[2] == L'\\')) {
        return VolumePath{std::wstring(rest.substr(0, 2)), rest.substr(std::min<std::size_t>(rest.size(), 3))};
    }
    const bool onShare = SameIgnoringCase(extendedPath.substr(0, kSharePrefix.size()), kSharePrefix);
    if (!onShare) {
        return std::nullopt;
    }
    const std::wstring_view share = extendedPath.substr(kSharePrefix.size());
    const std::size_t serverEnd = share.find(L'\\');
    if (serverEnd == 0 || serverEnd == std::wstring_view::npos || serverEnd + 1 == share.size() ||
        share[serverEnd + 1] == L'\\') {
        return std::nullopt;
    }
    const std::size_t shareEnd = std::min(share.find(L'\\', serverEnd + 1), share.size());
    return VolumePath{L"\\\\" + std::wstring(share.substr(0, shareEnd)),
                      share.substr(std::min(shareEnd + 1, share.size()))};
}

std::optional<std::vector<std::wstring_view>> NamesAsWritten(std::wstring_view below) {
    std::vector<std::wstring_view> names;
    for (std::size_t start = 0; !below.empty() && start <= below.size();) {
        const std::size_t end = std::min(below.find(L'\\', start), below.size());
        const std::wstring_view name = below.substr(start, end - start);
        if (name.empty() || name == L"." || name == L".." || name.find(L'/') != std::wstring_view::npos) {
            return std::nullopt;
        }
        names.push_back(name);
        start = end + 1;
    }
    return names;
}

}  // namespace velstrand
