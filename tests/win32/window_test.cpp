#include "tests/win32/test_context.h"
void RunWindowTests(const TestContext&) {}
