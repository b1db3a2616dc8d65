#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/runtime_services.h"
#include "repair/repair_inputs.h"

namespace velstrand {

// What taskkill is told to end, in this order: the anti-cheat, the downloader, the platform, both game clients and
// the login.
inline constexpr std::wstring_view kEndedImageNames[] = {L"TenSafe.exe",  L"QQDL.exe",         L"TXPlatform.exe",
                                                         L"DNFChina.exe", L"DNFchinaTest.exe", L"QQLogin.exe"};
// Joined to the program folder.
inline constexpr std::wstring_view kTaskkill = L"\\taskkill.exe";
// Joined to the game folder.
inline constexpr std::wstring_view kTraceLog = L"\\start\\TenProtect\\BugTrace.log";
inline constexpr std::wstring_view kOfficialClient = L"\\start\\DNFchina.exe";
inline constexpr std::wstring_view kExperienceClient = L"\\start\\DNFchinaTest.exe";

inline constexpr std::wstring_view kMissingToolMessage = L"taskkill.exe文件丢失，请重新下载";
inline constexpr std::wstring_view kCompletionMessage = L"处理完毕，可以运行游戏了";
// Joined below the completion message, around the number of files that stayed, when any did.
inline constexpr std::wstring_view kStayedFilesBefore = L"另有";
inline constexpr std::wstring_view kStayedFilesAfter =
    L"个文件未能删除（可能正被其他程序占用），如游戏仍不正常，请重启电脑后再运行一次。";
inline constexpr std::wstring_view kUnsafeFolderMessage = L"DNF目录无效，请填写游戏所在文件夹的完整路径";
// The taskkill.exe beside the tool is another program, a changed copy, or a copy older than the system's after a
// Windows update: the copy script puts the system's own there again.
inline constexpr std::wstring_view kForeignToolMessage = L"taskkill.exe与系统自带的不一致，请重新运行复制taskkill.cmd";

// The completion message, and when `stayed` files the run set out to delete are still there, how many.
std::wstring CompletionMessage(std::size_t stayed);

// The start button's action on what the window showed at the click: ends the game's processes and waits for them to
// go, sweeps the leftover files out of the game folder, deletes the trace log, says it is done (and how many files
// stayed, if any did), waits for the helper to finish and starts the chosen client. Every step that fails, out of
// memory included, is skipped and the run goes on with the next.
void RunRepair(RuntimeServices& services, const RepairInputs& inputs);

}  // namespace velstrand
