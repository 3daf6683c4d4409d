#include "tests/win32/test_context.h"
void RunLegacyTests(const TestContext&) {}
