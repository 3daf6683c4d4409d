#include "tests/win32/test_context.h"
void RunClosingTests(const TestContext&) {}
