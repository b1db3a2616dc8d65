#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime_services.h"

namespace velstrand::testing {

// Kinds of registry data, named as the registry names them.
enum class RegistryKind { String, ExpandString, Dword, MultiString, Binary };

enum class Operation {
    FindFirstName,
    FindNextName,
    GetAttributes,
    RemoveFile,
    StartProgram,
    StartHelper,
    WaitUntilEnded,
    WaitForHelper,
    ShowMessage,
    ProgramFolder,
    ReadRegistryString,
};

// One call of the services, as a test sees it. For FindNextName the argument is the pattern of the listing in
// progress; for StartProgram the command line; for ShowMessage the text.
struct ServiceCall {
    Operation operation;
    std::wstring argument;
    bool operator==(const ServiceCall&) const = default;
};

struct StartedProgram {
    std::wstring commandLine;
    StartStyle style;
    bool operator==(const StartedProgram&) const = default;
};

// The in-memory substitute of the runtime services: a tree of drives, folders, files (with contents) and folder
// links with Windows attributes and case-insensitive names, the same wildcard rules and single process-wide
// listing as the Windows realisation, running game processes that hold files open until they are ended, a
// registry, and a record of every call, started program and message in order. Any call can be made to fail
// through FailWhen; a RemoveFile that fails is a file that stays, as one this tool may not delete does. The system
// folder holds a taskkill.exe whose contents are empty text.
class FakeServices final : public RuntimeServices {
  public:
    FakeServices();
    ~FakeServices() override;

    // The tree. Paths are absolute ("D:\DNF\start"); missing parent folders are made as plain folders.
    void AddFolder(const std::wstring& path, std::uint32_t attributes = 0);
    void AddFile(const std::wstring& path, std::uint32_t attributes = 0, std::wstring contents = {});
    // A folder link (folder and reparse-point bits) through which the target's entries are listed. It takes the
    // place of whatever was at `path`, as a folder swapped for a link does.
    void AddFolderLink(const std::wstring& path, const std::wstring& target);
    // A running process of image `imageName` holds the file open, so that it cannot be deleted, until a wait for
    // that image after a started helper has ended it.
    void HoldOpen(const std::wstring& path, const std::wstring& imageName);
    // Takes an entry out of the tree, as another program deleting it does.
    void Erase(const std::wstring& path);
    bool Exists(const std::wstring& path) const;
    // Every file in the tree, as full paths in listing order; links are not followed.
    std::vector<std::wstring> AllFiles() const;

    void SetProgramFolder(std::wstring folder) { programFolder_ = std::move(folder); }
    void SetRegistryValue(const std::wstring& name, RegistryKind kind, std::wstring data);

    // A call for which `fails` answers true reports failure and changes nothing.
    void FailWhen(std::function<bool(Operation, const std::wstring& argument)> fails) { fails_ = std::move(fails); }
    // Called when a message is shown, before ShowMessage returns (a user reading the box).
    void OnShowMessage(std::function<void(const std::wstring&)> hook) { onShowMessage_ = std::move(hook); }

    const std::vector<ServiceCall>& Calls() const { return calls_; }
    // How many calls were made, logged or not. A benchmark over millions of entries keeps no log.
    std::size_t CallCount() const { return callCount_; }
    void KeepCallLog(bool keep) { keepCallLog_ = keep; }
    const std::vector<std::wstring>& Messages() const { return messages_; }
    const std::vector<StartedProgram>& StartedPrograms() const { return started_; }
    const std::vector<std::wstring>& RemovedFiles() const { return removed_; }
    void ClearRecords();

    std::optional<std::wstring> FindFirstName(const std::wstring& pattern, ListingFilter filter) override;
    std::optional<std::wstring> FindNextName() override;
    std::optional<std::uint32_t> GetAttributes(const std::wstring& path) override;
    Removal RemoveFile(const std::wstring& folder, const std::wstring& below) override;
    bool StartProgram(const std::wstring& commandLine, StartStyle style) override;
    HelperStart StartHelper(const std::wstring& commandLine) override;
    void WaitUntilEnded(std::span<const std::wstring_view> imageNames, std::chrono::milliseconds bound) override;
    void WaitForHelper(std::chrono::milliseconds bound) override;
    void ShowMessage(const std::wstring& text) override;
    std::wstring ProgramFolder() override;
    std::optional<std::wstring> ReadRegistryString(const std::wstring& name) override;

  private:
    struct Node;
    struct Listing {
        std::wstring pattern;
        std::vector<std::wstring> names;
        std::size_t next = 0;
    };
    struct RegistryValue {
        RegistryKind kind;
        std::wstring data;
    };

    bool Record(Operation operation, const std::wstring& argument);
    // `parentOnly`: the folder that holds the last name, through links.
    Node* Resolve(const std::wstring& path, bool followFinalLink, bool parentOnly = false) const;
    Node* Make(const std::wstring& path, std::uint32_t attributes, bool isFolder);

    std::unique_ptr<Node> world_;
    std::optional<Listing> listing_;
    std::wstring programFolder_ = L"C:\\Tools";
    std::map<std::wstring, RegistryValue> registry_;
    std::function<bool(Operation, const std::wstring&)> fails_;
    std::function<void(const std::wstring&)> onShowMessage_;
    std::vector<ServiceCall> calls_;
    std::size_t callCount_ = 0;
    bool keepCallLog_ = true;
    std::vector<std::wstring> messages_;
    std::vector<StartedProgram> started_;
    std::vector<std::wstring> removed_;
    std::map<const Node*, std::wstring> heldBy_;  // open files, and the folded image name of the holding process
    bool helperStarted_ = false;
};

}  // namespace velstrand::testing
