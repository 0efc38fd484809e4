// The folders the tests and benchmarks find their files in. They live in one
// source made for each build (test_paths.cpp.in), not in definitions given to
// every compilation: so no other object depends on where the checkout lies,
// and the compiler cache serves a clone in another folder.
#pragma once

namespace test_paths {
extern const char* const kTestdata;  // the outside conformance files
extern const char* const kRun;       // the game's working folder, with its data
extern const char* const kSource;    // the checkout
extern const char* const kBinary;    // the build folder
}  // namespace test_paths
