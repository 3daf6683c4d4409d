#pragma once

// The stub OpenGL of the benchmarks (bench/stub_gl.cpp) counts its calls, so a
// benchmark can report how many GL calls the timed work made.
unsigned long long StubGlCallCount();
