#pragma once

namespace velstrand::bench {

// Generates a tree on disk, then alternately times a raw recursive walk and the three sweeps of a repair run
// through the Windows realisation, and prints their medians and ratio.
int RunDiskBenchmark(int files, int folders, int rounds);

// Generates the same tree, then per round puts back what the last round deleted and runs the three sweeps with
// real deletions, and prints the time spent deleting per deleted file.
int RunDeletionBenchmark(int files, int folders, int rounds);

}  // namespace velstrand::bench
