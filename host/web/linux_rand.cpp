// The Linux builds' random sequence in the browser. The scene draws its
// sparkles and streams with rand(); the browser's C library has another
// generator than GNU libc's, so the same seed would place them elsewhere.
// With this one, ?seed=N shows the same frames as the headless player's
// --seed N on Linux: GNU's additive feedback generator, x[i] = x[i-3] +
// x[i-31], filled from the seed as GNU fills it, its first 310 results dropped.
#include <cstdint>
#include <cstdlib>

namespace {
const int kLag = 31;
const int kShortLag = 3;
const int kDropped = 310;

struct AdditiveFeedback {
    std::uint32_t table[kLag];
    int front = kShortLag; // table[front] += table[rear], as GNU's pointers walk
    int rear = 0;
};
AdditiveFeedback Generator;

std::uint32_t next()
{
    Generator.table[Generator.front] += Generator.table[Generator.rear];
    const std::uint32_t result = Generator.table[Generator.front] >> 1;
    Generator.front = (Generator.front + 1) % kLag;
    Generator.rear = (Generator.rear + 1) % kLag;
    return result;
}

void seed(unsigned int value)
{
    // GNU keeps the seed as a signed 32-bit word and turns 0 into 1.
    std::int32_t word = static_cast<std::int32_t>(value == 0 ? 1u : value);
    Generator.table[0] = static_cast<std::uint32_t>(word);
    for (int i = 1; i < kLag; ++i) {
        // 16807 * word mod (2^31 - 1) without overflow (Schrage's method).
        const std::int32_t hi = word / 127773;
        const std::int32_t lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0)
            word += 2147483647;
        Generator.table[i] = static_cast<std::uint32_t>(word);
    }
    Generator.front = kShortLag;
    Generator.rear = 0;
    for (int i = 0; i < kDropped; ++i)
        next();
}

// Unseeded, GNU's generator behaves as seeded with 1.
struct SeededAtStart {
    SeededAtStart() { seed(1); }
} StartSeed;
} // namespace

extern "C" void srand(unsigned int value) { seed(value); }

extern "C" int rand() { return static_cast<int>(next()); }
