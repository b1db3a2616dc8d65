#include "repair/repair_run.h"

#include <optional>
#include <string>

#include "platform/command_line.h"
#include "repair/file_sweep.h"
#include "repair/game_folder_check.h"

namespace velstrand {

namespace {

constexpr std::wstring_view kSweptExtensions[] = {L"tdl", L"spk", L"dmp"};

// " /F /IM TenSafe.exe /IM QQDL.exe ...": the forced end of every process of those names.
std::wstring TaskkillArguments() {
    std::wstring arguments = L" /F";
    for (const std::wstring_view name : kEndedImageNames) {
        arguments.append(L" /IM ").append(name);
    }
    return arguments;
}

// The game folder as the window shows it now, when it is safe to delete and start things under it.
std::optional<std::wstring> SafeGameFolder(WindowReadings& window) {
    std::optional<std::wstring> folder = window.GameFolderText();
    if (!folder || IsUnsafeGameFolder(*folder)) {
        return std::nullopt;
    }
    return folder;
}

}  // namespace

void RunRepair(RuntimeServices& services, WindowReadings& window) {
    // Before anything else: a folder such as "" or "D:\" would sweep a whole drive.
    if (!SafeGameFolder(window)) {
        services.ShowMessage(std::wstring(kUnsafeFolderMessage));
        return;
    }

    // Presence check. A listing that fails counts as the tool missing.
    const std::optional<std::wstring> tool =
        services.FindFirstName(services.ProgramFolder() + std::wstring(kTaskkill), ListingFilter::PlainFiles);
    if (!tool || tool->empty()) {
        services.ShowMessage(std::wstring(kMissingToolMessage));
        return;
    }

    // End the game's processes; neither waited for nor checked. The path is quoted so that a folder with a
    // blank cannot start another program in its place.
    services.StartProgram(Quoted(services.ProgramFolder() + std::wstring(kTaskkill)) + TaskkillArguments(),
                          StartStyle::Hidden);

    for (const std::wstring_view extension : kSweptExtensions) {
        Search(services, window, extension);
    }

    // Trace log: skipped when the folder cannot be read; a log that stays is not mentioned.
    if (const auto folder = SafeGameFolder(window)) {
        services.RemoveFile(*folder + std::wstring(kTraceLog));
    }

    // Shown whatever the steps before achieved; the client starts only once the user has dismissed it.
    services.ShowMessage(std::wstring(kCompletionMessage));

    // A server choice that cannot be read starts the official client.
    const bool official = window.IsOfficialServerSelected().value_or(true);
    if (const auto folder = SafeGameFolder(window)) {
        services.StartProgram(Quoted(*folder + std::wstring(official ? kOfficialClient : kExperienceClient)),
                              StartStyle::MinimisedWithFocus);
    }
}

}  // namespace velstrand
