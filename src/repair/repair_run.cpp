#include "repair/repair_run.h"

#include <chrono>
#include <exception>
#include <optional>
#include <string>
#include <type_traits>

#include "platform/command_line.h"
#include "repair/file_sweep.h"
#include "repair/game_folder.h"

namespace velstrand {

namespace {

constexpr std::wstring_view kSweptExtensions[] = {L"tdl", L"spk", L"dmp"};
// Below the game folder, as the names a deletion walks down one at a time.
constexpr std::wstring_view kTraceLogBelow = std::wstring_view(kTraceLog).substr(1);
// How long the run waits for the game to end before it sweeps: files a running game holds cannot be deleted, and
// an anti-cheat that refuses to end must not hold up the run for good.
constexpr std::chrono::seconds kGameEndBound{10};

// One step of the run. A step that fails is abandoned and the run goes on with the next; a step that runs out of
// memory fails like any other.
template <typename Step>
void RunStep(Step&& step) noexcept {
    try {
        step();
    } catch (const std::exception&) {
    }
}

// A step that decides where the run goes; `onFailure` when it fails.
template <typename Decision, typename Result = std::invoke_result_t<Decision>>
Result Decide(Decision&& decision, Result onFailure) noexcept {
    try {
        return decision();
    } catch (const std::exception&) {
        return onFailure;
    }
}

void Say(RuntimeServices& services, std::wstring_view text) noexcept {
    RunStep([&] { services.ShowMessage(std::wstring(text)); });
}

// " /F /IM TenSafe.exe /IM QQDL.exe ...": the forced end of every process of those names.
std::wstring TaskkillArguments() {
    std::wstring arguments = L" /F";
    for (const std::wstring_view name : kEndedImageNames) {
        arguments.append(L" /IM ").append(name);
    }
    return arguments;
}

// A mistyped or stale folder (a pasted trailing blank, a drive that is gone, a file, a junction to a disk that is
// unplugged) would otherwise end the player's game, delete nothing and report success. A folder text such as ""
// or "D:\" would sweep a whole drive.
bool IsGameFolderToRepair(RuntimeServices& services, WindowReadings& window) {
    const std::optional<GameFolder> folder = ShownGameFolder(window);
    if (!folder) {
        return false;
    }
    const std::optional<std::uint32_t> attributes = services.GetAttributes(folder->onDisk);
    return attributes && (*attributes & attribute::kFolder) != 0;
}

// A listing that fails counts as the tool missing.
bool IsToolPresent(RuntimeServices& services) {
    const std::optional<std::wstring> tool =
        services.FindFirstName(services.ProgramFolder() + std::wstring(kTaskkill), ListingFilter::PlainFiles);
    return tool && !tool->empty();
}

}  // namespace

void RunRepair(RuntimeServices& services, WindowReadings& window) {
    // Before anything else: nothing may be ended for a folder that is not there.
    if (!Decide([&] { return IsGameFolderToRepair(services, window); }, false)) {
        Say(services, kUnsafeFolderMessage);
        return;
    }

    if (!Decide([&] { return IsToolPresent(services); }, false)) {
        Say(services, kMissingToolMessage);
        return;
    }

    // End the game's processes. The path is quoted so that a folder with a blank cannot start another program in
    // its place; a copy that is not the system's own never runs with this tool's rights.
    const HelperStart helper = Decide(
        [&] {
            return services.StartHelper(Quoted(services.ProgramFolder() + std::wstring(kTaskkill)) +
                                        TaskkillArguments());
        },
        HelperStart::NotStarted);
    if (helper == HelperStart::NotTheSystemsOwn) {
        Say(services, kForeignToolMessage);
        return;
    }

    // The game lets go of its files only once it has ended. Nothing was asked to end if the helper did not start.
    if (helper == HelperStart::Started) {
        RunStep([&] { services.WaitUntilEnded(kEndedImageNames, kGameEndBound); });
    }

    for (const std::wstring_view extension : kSweptExtensions) {
        RunStep([&] { Search(services, window, extension); });
    }

    // Trace log: skipped when the folder cannot be read; a log that stays is not mentioned.
    RunStep([&] {
        if (const auto folder = ShownGameFolder(window)) {
            services.RemoveFile(folder->onDisk, std::wstring(kTraceLogBelow));
        }
    });

    // Shown whatever the steps before achieved; the client starts only once the user has dismissed it.
    Say(services, kCompletionMessage);

    // A server choice that cannot be read starts the official client. Programs are started by their plain path,
    // which is what they are handed as their own.
    RunStep([&] {
        const bool official = window.IsOfficialServerSelected().value_or(true);
        if (const auto folder = ShownGameFolder(window)) {
            services.StartProgram(Quoted(folder->plain + std::wstring(official ? kOfficialClient : kExperienceClient)),
                                  StartStyle::MinimisedWithFocus);
        }
    });
}

}  // namespace velstrand
