#include "disk_benchmark.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_services.h"
#include "sweep_timing.h"
#include "tree_shape.h"

namespace velstrand::bench {

namespace {

namespace fs = std::filesystem;

void MakeTree(const fs::path& root, const TreeShape& shape) {
    fs::create_directories(root);
    for (const TreeEntry& entry : shape.entries) {
        const fs::path path = root / entry.path;
        if (entry.folder) {
            ::CreateDirectoryW(path.c_str(), nullptr);
        } else {
            const HANDLE file =
                ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                ::CloseHandle(file);
            }
        }
        if (entry.attributes != 0) {
            ::SetFileAttributesW(path.c_str(), entry.attributes | (entry.folder ? FILE_ATTRIBUTE_DIRECTORY : 0));
        }
    }
}

// The floor: every entry of the tree listed once. `basic` leaves out the 8.3 aliases, as the realisation does.
long long Walk(const std::wstring& folder, bool basic) {
    long long entries = 0;
    WIN32_FIND_DATAW data;
    const std::wstring pattern = folder + L"\\*";
    const HANDLE find =
        basic ? ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0)
              : ::FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return 0;
    }
    std::vector<std::wstring> subFolders;
    do {
        if (data.cFileName[0] == L'.' &&
            (data.cFileName[1] == 0 || (data.cFileName[1] == L'.' && data.cFileName[2] == 0))) {
            continue;
        }
        ++entries;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            subFolders.push_back(folder + L"\\" + data.cFileName);
        }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    for (const std::wstring& subFolder : subFolders) {
        entries += Walk(subFolder, basic);
    }
    return entries;
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Every file the tree lacks made again, so that each round finds the leftovers the last one deleted. The files
// still there are left as they are: creating a file that exists fails at once.
void PutBackFiles(const fs::path& root, const TreeShape& shape) {
    for (const TreeEntry& entry : shape.entries) {
        if (!entry.folder && entry.attributes == 0) {
            const UniqueFileHandle file(::CreateFileW((root / entry.path).c_str(), GENERIC_WRITE, 0, nullptr,
                                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        }
    }
}

// Deletions done for real, each one timed on its own, so that the listing around them does not count.
class TimedRemovals final : public testing::ForwardingServices {
  public:
    using ForwardingServices::ForwardingServices;
    Removal RemoveFile(const std::wstring& folder, const std::wstring& below) override {
        const auto start = std::chrono::steady_clock::now();
        const Removal removal = ForwardingServices::RemoveFile(folder, below);
        seconds += Seconds(start);
        removals += removal == Removal::Deleted ? 1 : 0;
        return removal;
    }
    double seconds = 0;
    long long removals = 0;
};

fs::path MakeBenchTree(const TreeShape& shape, int files, int folders) {
    fs::path root = fs::temp_directory_path() / (L"velstrand-bench-" + std::to_wstring(::GetCurrentProcessId()));
    std::printf("generating %d files in %d folders under %ls\n", files, folders, root.c_str());
    std::fflush(stdout);
    MakeTree(root, shape);
    return root;
}

}  // namespace

int RunDiskBenchmark(int files, int folders, int rounds) {
    const TreeShape shape = MakeTreeShape(files, folders);
    const fs::path root = MakeBenchTree(shape, files, folders);

    Win32Services services;
    std::vector<double> walks;
    std::vector<double> basicWalks;
    std::vector<double> sweeps;
    for (int round = 1; round <= rounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        const long long walked = Walk(root.wstring(), false);
        walks.push_back(Seconds(start));
        start = std::chrono::steady_clock::now();
        Walk(root.wstring(), true);
        basicWalks.push_back(Seconds(start));

        long long removals = 0;
        sweeps.push_back(TimeThreeSweeps(services, root.wstring(), removals));
        std::printf(
            "round %d: walk %.3f s (%lld entries), basic walk %.3f s, sweeps %.3f s (%lld files taken, %d "
            "expected)\n",
            round, walks.back(), walked, basicWalks.back(), sweeps.back(), removals, shape.expectedDeletions);
        std::fflush(stdout);
    }

    std::error_code ignored;
    fs::remove_all(root, ignored);

    const double walk = Median(walks);
    const double sweep = Median(sweeps);
    const double basicWalk = Median(basicWalks);
    std::printf("walk median: %.3f s\n", walk);
    std::printf("basic walk median: %.3f s (sweeps against it: %.2f)\n", basicWalk, Median(sweeps) / basicWalk);
    std::printf("sweeps median: %.3f s\n", sweep);
    std::printf("sweep/walk ratio: %.2f\n", sweep / walk);
    return 0;
}

int RunDeletionBenchmark(int files, int folders, int rounds) {
    const TreeShape shape = MakeTreeShape(files, folders);
    const fs::path root = MakeBenchTree(shape, files, folders);

    Win32Services services;
    const std::optional<GameFolder> folder = ReadGameFolder(root.wstring());
    if (!folder) {
        return 1;
    }
    std::vector<double> perFile;
    std::vector<double> repairs;
    for (int round = 1; round <= rounds; ++round) {
        PutBackFiles(root, shape);
        TimedRemovals timed(services);
        const auto start = std::chrono::steady_clock::now();
        for (const wchar_t* extension : {L"tdl", L"spk", L"dmp"}) {
            Search(timed, *folder, extension);
        }
        repairs.push_back(Seconds(start));
        perFile.push_back(timed.removals == 0 ? 0 : timed.seconds / static_cast<double>(timed.removals));
        std::printf("round %d: sweeps %.3f s, %lld files deleted (%d expected) in %.3f s, %.1f us per file\n", round,
                    repairs.back(), timed.removals, shape.expectedDeletions, timed.seconds, perFile.back() * 1e6);
        std::fflush(stdout);
    }

    std::error_code ignored;
    fs::remove_all(root, ignored);

    std::printf("sweeps with deletions median: %.3f s\n", Median(repairs));
    std::printf("cost per deleted file median: %.1f us\n", Median(perFile) * 1e6);
    return 0;
}

}  // namespace velstrand::bench
