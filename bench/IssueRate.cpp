#include "IssueRate.h"

#include "CoreClock.h"

namespace {

#if defined(__x86_64__)

// Each pass gives every chain one operation: the even chains add 0, the odd ones
// multiply by 1, so the values stay 1 (never subnormal) and each chain depends only on
// itself. With 32 vector registers (AVX-512VL) 30 chains run, whatever the width: on
// some cores 14 do not cover the units' latency. Otherwise 14, enough on the cores that
// lack it (latency 3 to 4 cycles, 2 to 4 units).
#define ZORQ_OP2(op, r, k, n) op " %%" r #k ", %%" r #n "\n\t"
#define ZORQ_OP3(op, r, k, n) op " %%" r #k ", %%" r #n ", %%" r #n "\n\t"
#define ZORQ_PAIR(O, add, mul, r, ka, km, n, m) O(add, r, ka, n) O(mul, r, km, m)
// clang-format off
#define ZORQ_14(O, add, mul, r, ka, km)          \
  ZORQ_PAIR(O, add, mul, r, ka, km, 0, 1)        \
  ZORQ_PAIR(O, add, mul, r, ka, km, 2, 3)        \
  ZORQ_PAIR(O, add, mul, r, ka, km, 4, 5)        \
  ZORQ_PAIR(O, add, mul, r, ka, km, 6, 7)        \
  ZORQ_PAIR(O, add, mul, r, ka, km, 8, 9)        \
  ZORQ_PAIR(O, add, mul, r, ka, km, 10, 11)      \
  ZORQ_PAIR(O, add, mul, r, ka, km, 12, 13)
#define ZORQ_30(add, mul, r)                     \
  ZORQ_14(ZORQ_OP3, add, mul, r, 30, 31)         \
  ZORQ_PAIR(ZORQ_OP3, add, mul, r, 30, 31, 14, 15) \
  ZORQ_PAIR(ZORQ_OP3, add, mul, r, 30, 31, 16, 17) \
  ZORQ_PAIR(ZORQ_OP3, add, mul, r, 30, 31, 18, 19) \
  ZORQ_PAIR(ZORQ_OP3, add, mul, r, 30, 31, 20, 21) \
  ZORQ_PAIR(ZORQ_OP3, add, mul, r, 30, 31, 22, 23) \
  ZORQ_PAIR(ZORQ_OP3, add, mul, r, 30, 31, 24, 25) \
  ZORQ_PAIR(ZORQ_OP3, add, mul, r, 30, 31, 26, 27) \
  ZORQ_PAIR(ZORQ_OP3, add, mul, r, 30, 31, 28, 29)
// clang-format on
#define ZORQ_FOUR(pass) pass pass pass pass

#define ZORQ_XMM_0_15                                                                      \
  "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10", \
      "xmm11", "xmm12", "xmm13", "xmm14", "xmm15"
#define ZORQ_XMM_16_31                                                                      \
  "xmm16", "xmm17", "xmm18", "xmm19", "xmm20", "xmm21", "xmm22", "xmm23", "xmm24", "xmm25", \
      "xmm26", "xmm27", "xmm28", "xmm29", "xmm30", "xmm31"

constexpr long kTurns = 400'000;
alignas(64) constexpr double kOnes[8] = {1, 1, 1, 1, 1, 1, 1, 1};

// Loads 1 into the 30 chains (all 32 registers' full width) and 0 into register 30.
#define ZORQ_ONES_32                                                                     \
  "vmovupd %[one], %%zmm31\n\t"                                                          \
  "vmovapd %%zmm31, %%zmm0\n\tvmovapd %%zmm31, %%zmm1\n\tvmovapd %%zmm31, %%zmm2\n\t"    \
  "vmovapd %%zmm31, %%zmm3\n\tvmovapd %%zmm31, %%zmm4\n\tvmovapd %%zmm31, %%zmm5\n\t"    \
  "vmovapd %%zmm31, %%zmm6\n\tvmovapd %%zmm31, %%zmm7\n\tvmovapd %%zmm31, %%zmm8\n\t"    \
  "vmovapd %%zmm31, %%zmm9\n\tvmovapd %%zmm31, %%zmm10\n\tvmovapd %%zmm31, %%zmm11\n\t"  \
  "vmovapd %%zmm31, %%zmm12\n\tvmovapd %%zmm31, %%zmm13\n\tvmovapd %%zmm31, %%zmm14\n\t" \
  "vmovapd %%zmm31, %%zmm15\n\tvmovapd %%zmm31, %%zmm16\n\tvmovapd %%zmm31, %%zmm17\n\t" \
  "vmovapd %%zmm31, %%zmm18\n\tvmovapd %%zmm31, %%zmm19\n\tvmovapd %%zmm31, %%zmm20\n\t" \
  "vmovapd %%zmm31, %%zmm21\n\tvmovapd %%zmm31, %%zmm22\n\tvmovapd %%zmm31, %%zmm23\n\t" \
  "vmovapd %%zmm31, %%zmm24\n\tvmovapd %%zmm31, %%zmm25\n\tvmovapd %%zmm31, %%zmm26\n\t" \
  "vmovapd %%zmm31, %%zmm27\n\tvmovapd %%zmm31, %%zmm28\n\tvmovapd %%zmm31, %%zmm29\n\t" \
  "vpxorq %%zmm30, %%zmm30, %%zmm30\n"
// The same for 16 registers: 1 in the 14 chains and register 15, 0 in register 14.
// clang-format off
#define ZORQ_ONES_16(load, clear)                                                     \
  load " %[one], %%xmm15\n\t" clear " %%xmm14, %%xmm14\n\t"                          \
  "movapd %%xmm15, %%xmm0\n\tmovapd %%xmm15, %%xmm1\n\tmovapd %%xmm15, %%xmm2\n\t"   \
  "movapd %%xmm15, %%xmm3\n\tmovapd %%xmm15, %%xmm4\n\tmovapd %%xmm15, %%xmm5\n\t"   \
  "movapd %%xmm15, %%xmm6\n\tmovapd %%xmm15, %%xmm7\n\tmovapd %%xmm15, %%xmm8\n\t"   \
  "movapd %%xmm15, %%xmm9\n\tmovapd %%xmm15, %%xmm10\n\tmovapd %%xmm15, %%xmm11\n\t" \
  "movapd %%xmm15, %%xmm12\n\tmovapd %%xmm15, %%xmm13\n"
// clang-format on

// One probe per width and register count: kTurns loops of four passes; each returns the
// double-precision operations it issued.
#define ZORQ_PROBE_32(name, add, mul, r, lanes)                                                  \
  __attribute__((target("avx512f,avx512vl"))) long name() {                                      \
    long turns = kTurns;                                                                         \
    asm volatile(ZORQ_ONES_32                                                                    \
                 "1:\n\t" ZORQ_FOUR(ZORQ_30(add, mul, r)) "dec %[turns]\n\tjnz 1b\n\tvzeroupper" \
                 : [turns] "+r"(turns)                                                           \
                 : [one] "m"(kOnes)                                                              \
                 : ZORQ_XMM_0_15, ZORQ_XMM_16_31, "cc");                                         \
    return kTurns * 4 * 30 * (lanes);                                                            \
  }
ZORQ_PROBE_32(scalar32, "vaddsd", "vmulsd", "xmm", 1)
ZORQ_PROBE_32(sse32, "vaddpd", "vmulpd", "xmm", 2)
ZORQ_PROBE_32(avx32, "vaddpd", "vmulpd", "ymm", 4)
ZORQ_PROBE_32(avx512, "vaddpd", "vmulpd", "zmm", 8)

#define ZORQ_PROBE_16(name, isa, setup, op, add, mul, r, end, lanes)                               \
  __attribute__((target(isa))) long name() {                                                       \
    long turns = kTurns;                                                                           \
    asm volatile(setup                                                                             \
                 "1:\n\t" ZORQ_FOUR(ZORQ_14(op, add, mul, r, 14, 15)) "dec %[turns]\n\tjnz 1b" end \
                 : [turns] "+r"(turns)                                                             \
                 : [one] "m"(kOnes)                                                                \
                 : ZORQ_XMM_0_15, "cc");                                                           \
    return kTurns * 4 * 14 * (lanes);                                                              \
  }
ZORQ_PROBE_16(scalar16, "sse2", ZORQ_ONES_16("movsd", "xorpd"), ZORQ_OP2, "addsd", "mulsd", "xmm",
              "", 1)
ZORQ_PROBE_16(sse16, "sse2", ZORQ_ONES_16("movupd", "xorpd"), ZORQ_OP2, "addpd", "mulpd", "xmm", "",
              2)
ZORQ_PROBE_16(avx16, "avx",
              "vmovupd %[one], %%ymm15\n\tvxorpd %%ymm14, %%ymm14, %%ymm14\n\t"
              "vmovapd %%ymm15, %%ymm0\n\tvmovapd %%ymm15, %%ymm1\n\tvmovapd %%ymm15, %%ymm2\n\t"
              "vmovapd %%ymm15, %%ymm3\n\tvmovapd %%ymm15, %%ymm4\n\tvmovapd %%ymm15, %%ymm5\n\t"
              "vmovapd %%ymm15, %%ymm6\n\tvmovapd %%ymm15, %%ymm7\n\tvmovapd %%ymm15, %%ymm8\n\t"
              "vmovapd %%ymm15, %%ymm9\n\tvmovapd %%ymm15, %%ymm10\n\tvmovapd %%ymm15, %%ymm11\n\t"
              "vmovapd %%ymm15, %%ymm12\n\tvmovapd %%ymm15, %%ymm13\n",
              ZORQ_OP3, "vaddpd", "vmulpd", "ymm", "\n\tvzeroupper", 4)

using Probe = long (*)();

Probe probeFor(SimdKernel kernel) {
  const bool wide = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
  switch (kernel) {
    case SimdKernel::kScalar: return wide ? scalar32 : scalar16;
    case SimdKernel::kSse2: return wide ? sse32 : sse16;
    case SimdKernel::kAvx2: return wide ? avx32 : avx16;
    case SimdKernel::kAvx512: return wide ? avx512 : nullptr;
  }
  return nullptr;
}

#endif

}  // namespace

double issueRateOpsPerCycle(SimdKernel kernel) {
#if defined(__x86_64__)
  const Probe probe = simd::isSupported(kernel) ? probeFor(kernel) : nullptr;
  if (probe == nullptr) return 0.0;
  double best = 0.0;
  for (int attempt = 0; attempt < 5; ++attempt) {
    const double start = cpuSeconds();
    const long ops = probe();
    const double perSecond = static_cast<double>(ops) / (cpuSeconds() - start);
    if (perSecond > best) best = perSecond;
  }
  return best / (coreClockGHz() * 1e9);
#else
  (void)kernel;
  return 0.0;
#endif
}
