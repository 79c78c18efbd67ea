#pragma once

// Loops that visit every timer or every element many times a second are not
// traced for coverage when the game is built for the fuzzer: their
// comparisons say nothing about which rule ran, and tracing each of them
// would cost most of the fuzzer's time. Elsewhere this is nothing.
#if defined(__clang__)
#define ZORVANE_UNTRACED __attribute__((no_sanitize("coverage")))
#else
#define ZORVANE_UNTRACED
#endif
