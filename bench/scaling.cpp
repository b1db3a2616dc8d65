#include "scaling.h"

#include <cstdio>

#include "support/fake_services.h"
#include "sweep_timing.h"
#include "tree_shape.h"

namespace velstrand::bench {

int RunScaling(int rounds) {
    const std::wstring root = L"D:\\DNF";
    double first = 0;
    double last = 0;
    std::printf("%12s %10s %12s %14s %16s\n", "entries", "folders", "3 sweeps s", "ns per entry", "calls per entry");
    for (const int entries : {1'000, 10'000, 100'000, 1'000'000}) {
        const int folders = entries / 31;
        const TreeShape shape = MakeTreeShape(entries - folders, folders);
        testing::FakeServices fake;
        fake.KeepCallLog(false);
        fake.AddFolder(root);
        for (const TreeEntry& entry : shape.entries) {
            if (entry.folder) {
                fake.AddFolder(root + L"\\" + entry.path, entry.attributes);
            } else {
                fake.AddFile(root + L"\\" + entry.path, entry.attributes);
            }
        }
        std::vector<double> seconds;
        long long removals = 0;
        // Small trees take milliseconds: more rounds keep their median steady.
        const int roundsHere = entries <= 10'000 ? rounds * 7 : rounds;
        for (int round = 0; round < roundsHere; ++round) {
            fake.ClearRecords();
            seconds.push_back(TimeThreeSweeps(fake, root, removals));
        }
        const double median = Median(seconds);
        const double perEntry = median * 1e9 / entries;
        // The sweep's own work, free of the substitute's lookups and of the memory hierarchy.
        const double callsPerEntry = static_cast<double>(fake.CallCount()) / entries;
        std::printf("%12d %10d %12.4f %14.1f %16.3f%s\n", entries, folders, median, perEntry, callsPerEntry,
                    removals == shape.expectedDeletions ? "" : "  (unexpected number of deletions)");
        (entries == 1'000 ? first : last) = perEntry;
        std::fflush(stdout);
    }
    std::printf("scaling: %.1f ns per entry at 1,000 entries, %.1f at 1,000,000 (ratio %.2f)\n", first, last,
                last / first);
    return 0;
}

}  // namespace velstrand::bench
