#include "repair/repair_run.h"

#include <optional>
#include <string>

#include "platform/command_line.h"
#include "repair/file_sweep.h"
#include "repair/game_folder.h"

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

// A mistyped or stale folder (a pasted trailing blank, a drive that is gone, a file) would otherwise end the
// player's game, delete nothing and report success.
bool IsExistingFolder(RuntimeServices& services, const GameFolder& folder) {
    const std::optional<std::uint32_t> attributes = services.GetAttributes(folder.onDisk);
    return attributes && (*attributes & attribute::kFolder) != 0;
}

}  // namespace

void RunRepair(RuntimeServices& services, WindowReadings& window) {
    // Before anything else: a folder such as "" or "D:\" would sweep a whole drive, and nothing may be ended for a
    // folder that is not there.
    const std::optional<GameFolder> gameFolder = ShownGameFolder(window);
    if (!gameFolder || !IsExistingFolder(services, *gameFolder)) {
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
    if (const auto folder = ShownGameFolder(window)) {
        services.RemoveFile(folder->onDisk + std::wstring(kTraceLog));
    }

    // Shown whatever the steps before achieved; the client starts only once the user has dismissed it.
    services.ShowMessage(std::wstring(kCompletionMessage));

    // A server choice that cannot be read starts the official client.
    const bool official = window.IsOfficialServerSelected().value_or(true);
    // Programs are started by their plain path, which is what they are handed as their own.
    if (const auto folder = ShownGameFolder(window)) {
        services.StartProgram(Quoted(folder->plain + std::wstring(official ? kOfficialClient : kExperienceClient)),
                              StartStyle::MinimisedWithFocus);
    }
}

}  // namespace velstrand
