#pragma once

namespace ramifex::bench
{

// This process's resident size in KiB, from /proc; -1 when it cannot be read.
long ResidentKiB();

}  // namespace ramifex::bench
