#include "tests/win32/test_context.h"
void RunPreviewTests(const TestContext&) {}
