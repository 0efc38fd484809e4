// Allocation counter for the steady-frame test and the soak: replaces the
// global operator new and counts the calls one thread makes while counting is
// on. Linking this file into a program is what installs the replacement.
//
// On Linux the GL driver (llvmpipe compiles shader variants with LLVM, which
// calls the process's operator new) is told apart by its call stack and
// counted separately; under Windows (and Wine) the driver never sees this
// program's operator new, so every counted allocation is the game's.
#pragma once

namespace alloc_counter {

// Counts from zero the allocations the calling thread makes from now on.
void start();
// Ends counting; the counts stay readable.
void stop();

long gameAllocations();
long driverAllocations();

// Loads what the stack capture itself needs (the unwinder), so that its first
// use while counting allocates nothing; call once before start().
void warmUp();

// Whether the call stack of the first counted game allocation was captured
// (Linux only), and writing it to a file descriptor.
bool firstStackKnown();
void printFirstStack(int fd);

}  // namespace alloc_counter
