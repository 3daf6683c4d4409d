#include "tests/win32/test_context.h"
void RunAboutBoxTests(const TestContext&) {}
