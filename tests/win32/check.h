#pragma once
// A tiny assertion harness: GoogleTest does not exist for the cross toolchain.
// Every check prints its failure with the place it was made; Summary() prints
// "N passed, N failed" and gives the program's exit code.
#include <cstdio>
#include <string>

void RecordCheck(bool passed, const char* file, int line, const std::string& what);
int CheckSummary();

#define CHECK(condition) RecordCheck(static_cast<bool>(condition), __FILE__, __LINE__, #condition)
#define CHECK_MSG(condition, message) RecordCheck(static_cast<bool>(condition), __FILE__, __LINE__, (message))
#define CHECK_EQ(expected, actual)                                                                              \
    RecordCheck((expected) == (actual), __FILE__, __LINE__,                                                     \
                std::string(#actual " == " #expected " (got ") + std::to_string(actual) + ")")
