#include "virtual_disk.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <utility>

namespace velstrand::testing {

namespace {

std::wstring Quoted(const std::filesystem::path& path) {
    return L"\"" + path.wstring() + L"\"";
}

}  // namespace

bool DiskpartCanName(const std::filesystem::path& path) {
    const std::wstring text = path.wstring();
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0x20 && c < 0x7F && c != L'"'; });
}

VirtualDisk::VirtualDisk(std::filesystem::path image, std::filesystem::path mountFolder, std::wstring_view format)
    : image_(std::move(image)), mountFolder_(std::move(mountFolder)) {
    if (!DiskpartCanName(image_) || !DiskpartCanName(mountFolder_)) {
        failure_ = "diskpart cannot be handed the paths of the disk and its folder";
        detached_ = true;
        return;
    }
    // An expandable image grows only as far as the format writes.
    const ToolRun made = Diskpart({
        L"create vdisk file=" + Quoted(image_) + L" maximum=64 type=expandable",
        L"select vdisk file=" + Quoted(image_),
        L"attach vdisk",
        L"create partition primary",
        L"format fs=" + std::wstring(format) + L" quick label=VELSTRAND",
        L"assign mount=" + Quoted(mountFolder_),
    });
    if (!made.Succeeded()) {
        failure_ = "diskpart could not make the disk:\n" + made.output;
    }
}

VirtualDisk::~VirtualDisk() {
    Detach();
}

bool VirtualDisk::Detach() {
    if (detached_) {
        return true;
    }
    detached_ = true;
    if (!std::filesystem::exists(image_)) {
        return true;
    }
    // The folder is left as the empty folder it was, for the scratch folder's removal.
    ::DeleteVolumeMountPointW((mountFolder_.wstring() + L"\\").c_str());
    const ToolRun detached = Diskpart({L"select vdisk file=" + Quoted(image_), L"detach vdisk"});
    if (!detached.Succeeded()) {
        failure_ += "diskpart could not detach the disk:\n" + detached.output;
        return false;
    }
    return true;
}

ToolRun VirtualDisk::Diskpart(const std::vector<std::wstring>& commands) const {
    // One command a line; DiskpartCanName let only ASCII through.
    const std::filesystem::path script = image_.wstring() + L".diskpart";
    {
        std::ofstream file(script, std::ios::binary | std::ios::trunc);
        for (const std::wstring& command : commands) {
            for (const wchar_t c : command) {
                file.put(static_cast<char>(c));
            }
            file << "\r\n";
        }
    }
    return RunSystemTool(L"diskpart.exe", L"/s " + Quoted(script), image_.wstring() + L".diskpart-output");
}

}  // namespace velstrand::testing
