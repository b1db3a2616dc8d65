#include "support/fake_services.h"

#include <algorithm>
#include <utility>

#include "platform/command_line.h"
#include "platform/extended_length_path.h"
#include "platform/folder_of.h"
#include "platform/path_syntax.h"
#include "platform/wildcard_match.h"

namespace velstrand::testing {

namespace {

std::wstring Folded(std::wstring_view text) {
    std::wstring folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(), FoldCase);
    return folded;
}

bool HasWildcard(std::wstring_view text) {
    return text.find_first_of(L"*?") != std::wstring_view::npos;
}

bool HasInvalidCharacter(std::wstring_view text) {
    return text.find_first_of(L"<>|\"") != std::wstring_view::npos ||
           std::any_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x20; });
}

// A path taken apart as the file system takes it: read through the same function as the Windows realisation
// reads it (relative forms on drive C:, whose current folder is its root), its volume folded, and each name below
// as written.
struct ParsedPath {
    std::wstring root;
    std::vector<std::wstring> components;
    bool endsInSeparator = false;  // then the path names a folder, and a file of that name is not found
};

std::optional<ParsedPath> Parse(std::wstring_view path) {
    if (HasInvalidCharacter(path)) {
        return std::nullopt;
    }
    const std::optional<std::wstring> extended = ExtendedLengthPath(path, L"C:\\");
    const std::optional<VolumePath> split = extended ? SplitOnVolume(*extended) : std::nullopt;
    if (!split) {
        return std::nullopt;
    }
    ParsedPath parsed{Folded(split->plainVolume), {}, false};
    std::wstring_view below = split->below;
    if (below.ends_with(L'\\')) {
        below.remove_suffix(1);
        parsed.endsInSeparator = true;
    }
    const auto names = NamesAsWritten(below);
    if (!names) {
        return std::nullopt;
    }
    parsed.components.assign(names->begin(), names->end());
    return parsed;
}

constexpr int kMaxLinkDepth = 32;
constexpr wchar_t kSystemFolder[] = L"C:\\Windows\\System32";

}  // namespace

struct FakeServices::Node {
    std::wstring name;
    std::uint32_t attributes = 0;
    std::optional<std::wstring> linkTarget;
    std::wstring contents;
    std::map<std::wstring, std::unique_ptr<Node>> children;  // by folded name: the listing order

    bool IsFolder() const { return (attributes & attribute::kFolder) != 0; }
};

FakeServices::FakeServices() : world_(std::make_unique<Node>()) {
    world_->attributes = attribute::kFolder;
    AddFile(std::wstring(kSystemFolder) + L"\\taskkill.exe");
}

FakeServices::~FakeServices() = default;

FakeServices::Node* FakeServices::Resolve(const std::wstring& path, bool followFinalLink, bool parentOnly) const {
    struct Walker {
        const FakeServices& self;
        Node* Walk(const ParsedPath& parsed, std::size_t names, bool followFinal, int depth) const {
            if (depth > kMaxLinkDepth) {
                return nullptr;
            }
            const auto drive = self.world_->children.find(parsed.root);
            if (drive == self.world_->children.end()) {
                return nullptr;
            }
            Node* node = drive->second.get();
            for (std::size_t i = 0; i < names; ++i) {
                if (node->linkTarget) {
                    node = Through(*node, depth);
                    if (node == nullptr) {
                        return nullptr;
                    }
                }
                const auto child = node->children.find(Folded(parsed.components[i]));
                if (child == node->children.end()) {
                    return nullptr;
                }
                node = child->second.get();
            }
            return followFinal && node->linkTarget ? Through(*node, depth) : node;
        }
        Node* Through(const Node& link, int depth) const {
            const auto target = Parse(*link.linkTarget);
            return target ? Walk(*target, target->components.size(), true, depth + 1) : nullptr;
        }
    };
    const auto parsed = Parse(path);
    if (!parsed || (parentOnly && parsed->components.empty())) {
        return nullptr;
    }
    const std::size_t names = parsed->components.size() - (parentOnly ? 1 : 0);
    Node* node = Walker{*this}.Walk(*parsed, names, followFinalLink || parentOnly, 0);
    if (node != nullptr && !parentOnly && parsed->endsInSeparator && !node->IsFolder()) {
        return nullptr;
    }
    return node;
}

FakeServices::Node* FakeServices::Make(const std::wstring& path, std::uint32_t attributes, bool isFolder) {
    const auto parsed = Parse(path);
    if (!parsed) {
        return nullptr;
    }
    auto& drive = world_->children[parsed->root];
    if (!drive) {
        drive = std::make_unique<Node>();
        drive->name = parsed->root;
        drive->attributes = attribute::kFolder;
    }
    Node* node = drive.get();
    for (std::size_t i = 0; i < parsed->components.size(); ++i) {
        const bool last = i + 1 == parsed->components.size();
        auto& child = node->children[Folded(parsed->components[i])];
        if (!child) {
            child = std::make_unique<Node>();
            child->name = parsed->components[i];
            child->attributes = attribute::kFolder;
        }
        if (last) {
            child->attributes = attributes | (isFolder ? attribute::kFolder : attribute::kArchive);
        }
        node = child.get();
    }
    return node;
}

void FakeServices::AddFolder(const std::wstring& path, std::uint32_t attributes) {
    Make(path, attributes, true);
}

void FakeServices::AddFile(const std::wstring& path, std::uint32_t attributes, std::wstring contents) {
    if (Node* file = Make(path, attributes & ~attribute::kFolder, false)) {
        file->contents = std::move(contents);
    }
}

void FakeServices::AddFolderLink(const std::wstring& path, const std::wstring& target) {
    if (Node* link = Make(path, attribute::kReparsePoint, true)) {
        link->children.clear();
        link->linkTarget = target;
    }
}

void FakeServices::HoldOpen(const std::wstring& path, const std::wstring& imageName) {
    if (const Node* file = Resolve(path, false)) {
        heldBy_[file] = Folded(imageName);
    }
}

void FakeServices::Erase(const std::wstring& path) {
    if (Node* parent = Resolve(path, false, true)) {
        if (const auto parsed = Parse(path); parsed && !parsed->components.empty()) {
            heldBy_.erase(Resolve(path, false));
            parent->children.erase(Folded(parsed->components.back()));
        }
    }
}

bool FakeServices::Exists(const std::wstring& path) const {
    return Resolve(path, false) != nullptr;
}

std::vector<std::wstring> FakeServices::AllFiles() const {
    std::vector<std::wstring> files;
    struct Collector {
        std::vector<std::wstring>& files;
        void Collect(const Node& folder, const std::wstring& prefix) {
            for (const auto& [key, child] : folder.children) {
                const std::wstring path = prefix + L"\\" + child->name;
                if (!child->IsFolder()) {
                    files.push_back(path);
                } else if (!child->linkTarget) {
                    Collect(*child, path);
                }
            }
        }
    };
    for (const auto& [key, drive] : world_->children) {
        Collector{files}.Collect(*drive, drive->name);
    }
    return files;
}

void FakeServices::SetRegistryValue(const std::wstring& name, RegistryKind kind, std::wstring data) {
    registry_[Folded(name)] = RegistryValue{kind, std::move(data)};
}

void FakeServices::ClearRecords() {
    calls_.clear();
    callCount_ = 0;
    messages_.clear();
    started_.clear();
    removed_.clear();
}

bool FakeServices::Record(Operation operation, const std::wstring& argument) {
    ++callCount_;
    if (keepCallLog_) {
        calls_.push_back({operation, argument});
    }
    return !fails_ || !fails_(operation, argument);
}

std::optional<std::wstring> FakeServices::FindFirstName(const std::wstring& pattern, ListingFilter filter) {
    listing_.reset();
    if (!Record(Operation::FindFirstName, pattern)) {
        return std::nullopt;
    }
    const auto split = std::find_if(pattern.rbegin(), pattern.rend(), IsSeparator).base();
    const std::wstring folderPath =
        split == pattern.begin() ? std::wstring(L".") : std::wstring(pattern.begin(), split);
    const std::wstring namePattern(split, pattern.end());
    // The "?" of a "\\?\" prefix is no wildcard.
    const std::wstring_view folderNames =
        std::wstring_view(folderPath).substr(folderPath.starts_with(L"\\\\?\\") ? 4 : 0);
    if (HasWildcard(folderNames) || HasInvalidCharacter(pattern)) {
        return std::nullopt;
    }
    const auto parsed = Parse(folderPath);
    if (!parsed || !world_->children.contains(parsed->root)) {
        return std::nullopt;  // the drive is not there: not ready
    }

    Listing listing{pattern, {}, 0};
    const Node* folder = Resolve(folderPath, true);
    if (folder != nullptr && folder->IsFolder()) {
        const bool withFolders = filter == ListingFilter::PlainFilesAndFolders;
        if (withFolders && !parsed->components.empty()) {
            for (const wchar_t* dots : {L".", L".."}) {
                if (MatchesWildcard(dots, namePattern)) {
                    listing.names.emplace_back(dots);
                }
            }
        }
        for (const auto& [key, child] : folder->children) {
            const bool concealed = (child->attributes & (attribute::kHidden | attribute::kSystem)) != 0;
            if (concealed || (child->IsFolder() && !withFolders) || !MatchesWildcard(child->name, namePattern)) {
                continue;
            }
            listing.names.push_back(child->name);
        }
    }
    listing_ = std::move(listing);
    return listing_->names.empty() ? std::wstring() : listing_->names[listing_->next++];
}

std::optional<std::wstring> FakeServices::FindNextName() {
    if (!Record(Operation::FindNextName, listing_ ? listing_->pattern : std::wstring()) || !listing_) {
        return std::nullopt;
    }
    if (listing_->next >= listing_->names.size()) {
        return std::wstring();
    }
    return listing_->names[listing_->next++];
}

std::optional<std::uint32_t> FakeServices::GetAttributes(const std::wstring& path) {
    if (!Record(Operation::GetAttributes, path)) {
        return std::nullopt;
    }
    const Node* node = Resolve(path, false);
    // A link answers only when its target is there.
    if (node == nullptr || (node->linkTarget && Resolve(path, true) == nullptr)) {
        return std::nullopt;
    }
    return node->attributes;
}

Removal FakeServices::RemoveFile(const std::wstring& folder, const std::wstring& below) {
    const std::wstring path = folder + L"\\" + below;
    if (!Record(Operation::RemoveFile, path)) {
        return Removal::Stayed;
    }
    // The folder through whatever links lead to it; below it one name at a time, following none.
    Node* parent = Resolve(folder, true);
    const auto names = NamesAsWritten(below);
    if (!names || names->empty()) {
        return Removal::Stayed;
    }
    if (parent == nullptr || !parent->IsFolder()) {
        return Removal::Gone;
    }
    for (std::size_t i = 0; i + 1 < names->size(); ++i) {
        const auto child = parent->children.find(Folded((*names)[i]));
        if (child == parent->children.end() || !child->second->IsFolder()) {
            return Removal::Gone;
        }
        if (child->second->linkTarget) {
            return Removal::KeptOnPurpose;
        }
        parent = child->second.get();
    }
    const auto file = parent->children.find(Folded(names->back()));
    if (file == parent->children.end() || file->second->IsFolder()) {
        return Removal::Gone;
    }
    const Node& node = *file->second;
    if ((node.attributes & (attribute::kReparsePoint | attribute::kReadOnly)) != 0) {
        return Removal::KeptOnPurpose;
    }
    if (heldBy_.contains(&node)) {
        return Removal::Stayed;
    }
    parent->children.erase(file);
    removed_.push_back(path);
    return Removal::Deleted;
}

bool FakeServices::StartProgram(const std::wstring& commandLine, StartStyle style) {
    if (!Record(Operation::StartProgram, commandLine)) {
        return false;
    }
    const Node* program = Resolve(ProgramPathOf(commandLine), true);
    if (program == nullptr || program->IsFolder()) {
        return false;
    }
    started_.push_back({commandLine, style});
    return true;
}

HelperStart FakeServices::StartHelper(const std::wstring& commandLine) {
    if (!Record(Operation::StartHelper, commandLine)) {
        return HelperStart::NotStarted;
    }
    const std::wstring program = ProgramPathOf(commandLine);
    const Node* copy = Resolve(program, true);
    if (copy == nullptr || copy->IsFolder()) {
        return HelperStart::NotStarted;
    }
    const Node* original = Resolve(std::wstring(kSystemFolder) + L"\\" + FileNameOf(program), true);
    if (original == nullptr || original->IsFolder() || original->contents != copy->contents) {
        return HelperStart::NotTheSystemsOwn;
    }
    started_.push_back({commandLine, StartStyle::Hidden});
    helperStarted_ = true;
    return HelperStart::Started;
}

void FakeServices::WaitUntilEnded(std::span<const std::wstring_view> imageNames, std::chrono::milliseconds) {
    std::wstring names;
    for (const std::wstring_view name : imageNames) {
        names.append(name).append(L" ");
    }
    if (!Record(Operation::WaitUntilEnded, names) || !helperStarted_) {
        return;
    }
    // The helper ended every process of those names.
    std::erase_if(heldBy_, [&](const auto& held) {
        return std::any_of(imageNames.begin(), imageNames.end(),
                           [&](std::wstring_view name) { return Folded(name) == held.second; });
    });
}

void FakeServices::WaitForHelper(std::chrono::milliseconds) {
    Record(Operation::WaitForHelper, {});
}

void FakeServices::ShowMessage(const std::wstring& text) {
    Record(Operation::ShowMessage, text);
    messages_.push_back(text);
    if (onShowMessage_) {
        onShowMessage_(text);
    }
}

std::wstring FakeServices::ProgramFolder() {
    Record(Operation::ProgramFolder, {});
    return programFolder_;
}

std::optional<std::wstring> FakeServices::ReadRegistryString(const std::wstring& name) {
    if (!Record(Operation::ReadRegistryString, name)) {
        return std::nullopt;
    }
    const auto value = registry_.find(Folded(name));
    if (value == registry_.end() || value->second.kind == RegistryKind::MultiString ||
        value->second.kind == RegistryKind::Binary) {
        return std::nullopt;
    }
    return value->second.data;
}

}  // namespace velstrand::testing
