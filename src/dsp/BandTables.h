#pragma once

// The vocoder's 20 bands: default centre frequencies (Hz) of the analysis and
// synthesis filters, and the envelope followers' corner frequencies (Hz).
constexpr int kNumBands = 20;

constexpr double FREQUENCY[kNumBands] = {240.6,  290.0,  342.7,  418.9,  514.1,  628.3,  754.0,
                                         942.5,  1131.0, 1379.3, 1663.2, 2019.7, 2406.4, 2900.0,
                                         3427.3, 4188.9, 5140.9, 6283.4, 7540.1, 9425.1};

constexpr double LAG[kNumBands] = {15.9, 15.9, 15.9, 15.9, 33.9, 33.9, 33.9,  33.9,  72.3,  72.3,
                                   72.3, 72.3, 72.3, 72.3, 72.3, 72.3, 159.2, 159.2, 159.2, 159.2};

// In "VE-10 Standard" the bands from here up articulate the noise carrier only.
constexpr int kFirstNoiseBand = 16;
