// The sweep benchmark. Under Wine (or on Windows): the three sweeps of a repair run against one raw walk of the
// same generated tree; with --deletions, what each file the sweeps delete for real costs. Natively, or with
// --scaling: how the sweep's cost grows with the tree, on the substitute.
//
//   velstrand_bench [--files N] [--folders N] [--rounds N] [--deletions | --scaling]
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "scaling.h"
#ifdef _WIN32
#include "disk_benchmark.h"
#endif

int main(int argc, char** argv) {
    int files = 60'000;
    int folders = 2'000;
    int rounds = 7;
    bool scaling = false;
    bool deletions = false;
#ifndef _WIN32
    scaling = true;
#endif
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--files") == 0 && hasValue) {
            files = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--folders") == 0 && hasValue) {
            folders = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--rounds") == 0 && hasValue) {
            rounds = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--scaling") == 0) {
            scaling = true;
        } else if (std::strcmp(argv[i], "--deletions") == 0) {
            deletions = true;
        } else {
            std::fprintf(stderr, "usage: %s [--files N] [--folders N] [--rounds N] [--deletions | --scaling]\n",
                         argv[0]);
            return 2;
        }
    }
    if (files < 1 || folders < 1 || rounds < 1) {
        std::fprintf(stderr, "sizes and rounds must be positive\n");
        return 2;
    }
    if (scaling) {
        return velstrand::bench::RunScaling(rounds < 3 ? rounds : 3);
    }
#ifdef _WIN32
    return deletions ? velstrand::bench::RunDeletionBenchmark(files, folders, rounds)
                     : velstrand::bench::RunDiskBenchmark(files, folders, rounds);
#else
    (void)deletions;
    return 0;
#endif
}
