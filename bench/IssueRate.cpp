#include "IssueRate.h"

#include "CoreClock.h"

namespace {

#if defined(__x86_64__)

// Each pass gives every chain one operation: the even chains add 0, the odd ones
// multiply by 1, so the values stay 1 (never subnormal) and each chain depends only on
// itself. With 32 vector registers (AVX-512VL) 30 chains run, whatever the width: on
// some cores 14 do not cover the units' latency. Otherwise 14, enough on the cores that
// lack it (latency 3 to 4 cycles, 2 to 4 units). The register after the chains holds 0,
// the last one 1.
// clang-format off
#define ZORQ_OP2(op, r, k, n) op " %%" r #k ", %%" r #n "\n\t"
#define ZORQ_OP3(op, r, k, n) op " %%" r #k ", %%" r #n ", %%" r #n "\n\t"
#define ZORQ_PAIR(O, add, mul, r, ka, km, n, m) O(add, r, ka, n) O(mul, r, km, m)
#define ZORQ_14(O, add, mul, r, ka, km)            \
  ZORQ_PAIR(O, add, mul, r, ka, km, 0, 1)          \
  ZORQ_PAIR(O, add, mul, r, ka, km, 2, 3)          \
  ZORQ_PAIR(O, add, mul, r, ka, km, 4, 5)          \
  ZORQ_PAIR(O, add, mul, r, ka, km, 6, 7)          \
  ZORQ_PAIR(O, add, mul, r, ka, km, 8, 9)          \
  ZORQ_PAIR(O, add, mul, r, ka, km, 10, 11)        \
  ZORQ_PAIR(O, add, mul, r, ka, km, 12, 13)
#define ZORQ_30(add, mul, r)                       \
  ZORQ_14(ZORQ_OP3, add, mul, r, 30, 31)           \
  ZORQ_PAIR(ZORQ_OP3, add, mul, r, 30, 31, 14, 15) \
  ZORQ_PAIR(ZORQ_OP3, add, mul, r, 30, 31, 16, 17) \
  ZORQ_PAIR(ZORQ_OP3, add, mul, r, 30, 31, 18, 19) \
  ZORQ_PAIR(ZORQ_OP3, add, mul, r, 30, 31, 20, 21) \
  ZORQ_PAIR(ZORQ_OP3, add, mul, r, 30, 31, 22, 23) \
  ZORQ_PAIR(ZORQ_OP3, add, mul, r, 30, 31, 24, 25) \
  ZORQ_PAIR(ZORQ_OP3, add, mul, r, 30, 31, 26, 27) \
  ZORQ_PAIR(ZORQ_OP3, add, mul, r, 30, 31, 28, 29)
#define ZORQ_LOAD(load, r, n, from) load " %[" #from "], %%" r #n "\n\t"
#define ZORQ_LOAD_14(load, r)                                                                \
  ZORQ_LOAD(load, r, 0, one) ZORQ_LOAD(load, r, 1, one) ZORQ_LOAD(load, r, 2, one)           \
  ZORQ_LOAD(load, r, 3, one) ZORQ_LOAD(load, r, 4, one) ZORQ_LOAD(load, r, 5, one)           \
  ZORQ_LOAD(load, r, 6, one) ZORQ_LOAD(load, r, 7, one) ZORQ_LOAD(load, r, 8, one)           \
  ZORQ_LOAD(load, r, 9, one) ZORQ_LOAD(load, r, 10, one) ZORQ_LOAD(load, r, 11, one)         \
  ZORQ_LOAD(load, r, 12, one) ZORQ_LOAD(load, r, 13, one)
#define ZORQ_SETUP_16(load, r) \
  ZORQ_LOAD_14(load, r) ZORQ_LOAD(load, r, 14, zero) ZORQ_LOAD(load, r, 15, one)
#define ZORQ_SETUP_32(r)                                                                     \
  ZORQ_LOAD_14("vmovupd", r)                                                                 \
  ZORQ_LOAD("vmovupd", r, 14, one) ZORQ_LOAD("vmovupd", r, 15, one)                          \
  ZORQ_LOAD("vmovupd", r, 16, one) ZORQ_LOAD("vmovupd", r, 17, one)                          \
  ZORQ_LOAD("vmovupd", r, 18, one) ZORQ_LOAD("vmovupd", r, 19, one)                          \
  ZORQ_LOAD("vmovupd", r, 20, one) ZORQ_LOAD("vmovupd", r, 21, one)                          \
  ZORQ_LOAD("vmovupd", r, 22, one) ZORQ_LOAD("vmovupd", r, 23, one)                          \
  ZORQ_LOAD("vmovupd", r, 24, one) ZORQ_LOAD("vmovupd", r, 25, one)                          \
  ZORQ_LOAD("vmovupd", r, 26, one) ZORQ_LOAD("vmovupd", r, 27, one)                          \
  ZORQ_LOAD("vmovupd", r, 28, one) ZORQ_LOAD("vmovupd", r, 29, one)                          \
  ZORQ_LOAD("vmovupd", r, 30, zero) ZORQ_LOAD("vmovupd", r, 31, one)
#define ZORQ_FOUR(pass) pass pass pass pass
#define ZORQ_XMM_0_15 "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", \
  "xmm9", "xmm10", "xmm11", "xmm12", "xmm13", "xmm14", "xmm15"
#define ZORQ_XMM_16_31 "xmm16", "xmm17", "xmm18", "xmm19", "xmm20", "xmm21", "xmm22", "xmm23", \
  "xmm24", "xmm25", "xmm26", "xmm27", "xmm28", "xmm29", "xmm30", "xmm31"

constexpr long kTurns = 400'000;
alignas(64) constexpr double kOnes[8] = {1, 1, 1, 1, 1, 1, 1, 1};
alignas(64) constexpr double kZeros[8] = {};

// A probe: kTurns loops of four passes over `chains` chains of `lanes` doubles; returns
// the double-precision operations it issued. The registers it uses follow as clobbers.
#define ZORQ_PROBE(name, isa, setup, pass, chains, lanes, end, ...)                          \
  __attribute__((target(isa))) long name() {                                                 \
    long turns = kTurns;                                                                     \
    asm volatile(setup "1:\n\t" ZORQ_FOUR(pass) "dec %[turns]\n\tjnz 1b" end                 \
                 : [turns] "+r"(turns)                                                       \
                 : [one] "m"(kOnes), [zero] "m"(kZeros)                                      \
                 : __VA_ARGS__, "cc");                                                       \
    return kTurns * 4 * (chains) * (lanes);                                                  \
  }
#define ZORQ_PROBE_32(name, add, mul, r, lanes)                                              \
  ZORQ_PROBE(name, "avx512f,avx512vl", ZORQ_SETUP_32(r), ZORQ_30(add, mul, r), 30, lanes,    \
             "\n\tvzeroupper", ZORQ_XMM_0_15, ZORQ_XMM_16_31)
#define ZORQ_PROBE_16(name, isa, load, op, add, mul, r, end, lanes)                          \
  ZORQ_PROBE(name, isa, ZORQ_SETUP_16(load, r), ZORQ_14(op, add, mul, r, 14, 15), 14, lanes, \
             end, ZORQ_XMM_0_15)
// clang-format on

ZORQ_PROBE_32(scalar32, "vaddsd", "vmulsd", "xmm", 1)
ZORQ_PROBE_32(sse32, "vaddpd", "vmulpd", "xmm", 2)
ZORQ_PROBE_32(avx32, "vaddpd", "vmulpd", "ymm", 4)
ZORQ_PROBE_32(avx512, "vaddpd", "vmulpd", "zmm", 8)
ZORQ_PROBE_16(scalar16, "sse2", "movsd", ZORQ_OP2, "addsd", "mulsd", "xmm", "", 1)
ZORQ_PROBE_16(sse16, "sse2", "movupd", ZORQ_OP2, "addpd", "mulpd", "xmm", "", 2)
ZORQ_PROBE_16(avx16, "avx", "vmovupd", ZORQ_OP3, "vaddpd", "vmulpd", "ymm", "\n\tvzeroupper", 4)

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

double issueRateOpsPerCycle(SimdKernel kernel, double coreGHz) {
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
  return best / (coreGHz * 1e9);
#else
  (void)kernel, (void)coreGHz;
  return 0.0;
#endif
}
