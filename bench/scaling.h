#pragma once

namespace velstrand::bench {

// Three sweeps over in-memory trees from a thousand to a million entries: the cost per entry should stay flat.
int RunScaling(int rounds);

}  // namespace velstrand::bench
