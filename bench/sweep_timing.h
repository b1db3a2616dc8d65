#pragma once

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime_services.h"
#include "repair/file_sweep.h"
#include "support/forwarding_services.h"

namespace velstrand::bench {

// Deletions are counted, not done, so that every round sweeps the same tree.
class CountingRemovals final : public testing::ForwardingServices {
  public:
    using ForwardingServices::ForwardingServices;
    Removal RemoveFile(const std::wstring&, const std::wstring&) override {
        ++removals;
        return Removal::Deleted;
    }
    long long removals = 0;
};

// The three sweeps of a repair run over `gameFolder`, in seconds; `removals` receives how many files they took.
inline double TimeThreeSweeps(RuntimeServices& services, const std::wstring& gameFolder, long long& removals) {
    CountingRemovals counting(services);
    const std::optional<GameFolder> folder = ReadGameFolder(gameFolder);
    const auto start = std::chrono::steady_clock::now();
    for (const wchar_t* extension : {L"tdl", L"spk", L"dmp"}) {
        if (folder) {
            Search(counting, *folder, extension);
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    removals = counting.removals;
    return elapsed.count();
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace velstrand::bench
