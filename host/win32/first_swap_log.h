#pragma once
// A start-up probe for the benchmarks, off unless asked for: with the
// environment variable QUORVELIN_LOG_FIRST_SWAP naming a file, the system
// time of the first buffer swap is written there once, as one decimal line
// of 100 ns units since 1601. Otherwise the saver writes nothing.

// Reads the variable; called once, when the window is created.
void ArmFirstSwapLog();

// Called after every swap; costs one branch once the first swap is logged.
void NoteBufferSwap();
