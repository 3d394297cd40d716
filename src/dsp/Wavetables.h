#pragma once

// Band-limited sawtooth wavetables shared by every voice of the process. Table k
// holds round(2048 / sqrt(2)^k) harmonics, so each table is safe for a phase step
// sqrt(2) times larger than the one before it. Built once, read-only afterwards.

namespace wavetables {

constexpr int kCount = 22;
constexpr int kLength = 4096;
constexpr int kLengthBits = 12;

// Any thread; builds the tables on the first call (thread-safe), returns at once after.
void ensureBuilt();
// The table with the given index (0..21); ensureBuilt must have run.
const double* saw(int index);
// Harmonics in table index.
int harmonics(int index);

}  // namespace wavetables
