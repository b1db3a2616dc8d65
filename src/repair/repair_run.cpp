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
// How long the client's start waits for a helper that is still at work once the player has read the message: the
// client is on its list, and a helper that had not ended by then would end the client it just saw start.
constexpr std::chrono::seconds kHelperEndBound{10};

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

// The folder the run works in. A mistyped or stale folder (a pasted trailing blank, a drive that is gone, a file, a
// junction to a disk that is unplugged) would otherwise end the player's game, delete nothing and report success. A
// folder text such as "" or "D:\" would sweep a whole drive.
std::optional<GameFolder> GameFolderToRepair(RuntimeServices& services, const RepairInputs& inputs) {
    std::optional<GameFolder> folder = inputs.gameFolderText ? ReadGameFolder(*inputs.gameFolderText) : std::nullopt;
    if (!folder) {
        return std::nullopt;
    }
    const std::optional<std::uint32_t> attributes = services.GetAttributes(folder->onDisk);
    if (!attributes || (*attributes & attribute::kFolder) == 0) {
        return std::nullopt;
    }
    return folder;
}

// A listing that fails counts as the tool missing.
bool IsToolPresent(RuntimeServices& services) {
    const std::optional<std::wstring> tool =
        services.FindFirstName(services.ProgramFolder() + std::wstring(kTaskkill), ListingFilter::PlainFiles);
    return tool && !tool->empty();
}

}  // namespace

std::wstring CompletionMessage(std::size_t stayed) {
    std::wstring message(kCompletionMessage);
    if (stayed > 0) {
        message.append(L"\n\n").append(kStayedFilesBefore).append(std::to_wstring(stayed)).append(kStayedFilesAfter);
    }
    return message;
}

void RunRepair(RuntimeServices& services, const RepairInputs& inputs) {
    // Before anything else: nothing may be ended for a folder that is not there.
    const std::optional<GameFolder> folder =
        Decide([&] { return GameFolderToRepair(services, inputs); }, std::optional<GameFolder>());
    if (!folder) {
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

    // Files the run set out to delete that are still there; what it keeps on purpose does not count.
    std::size_t stayed = 0;
    for (const std::wstring_view extension : kSweptExtensions) {
        RunStep([&] { stayed += Search(services, *folder, extension); });
    }
    RunStep([&] {
        if (services.RemoveFile(folder->onDisk, std::wstring(kTraceLogBelow)) == Removal::Stayed) {
            ++stayed;
        }
    });

    // Shown whatever the steps before achieved; the client starts only once the user has dismissed it.
    RunStep([&] { services.ShowMessage(CompletionMessage(stayed)); });

    if (helper == HelperStart::Started) {
        RunStep([&] { services.WaitForHelper(kHelperEndBound); });
    }

    // A server choice that cannot be read starts the official client. Programs are started by their plain path,
    // which is what they are handed as their own.
    RunStep([&] {
        const bool official = inputs.officialServer.value_or(true);
        services.StartProgram(Quoted(folder->plain + std::wstring(official ? kOfficialClient : kExperienceClient)),
                              StartStyle::MinimisedWithFocus);
    });
}

}  // namespace velstrand
