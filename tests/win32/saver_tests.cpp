// The Windows tier: this program drives Quorvelin.scr under Wine, one group of
// checks per run:  saver_tests GROUP SCR PASSWORD_MODULE WORK_DIR
// It is also the shell's handler for the about box's links during those tests:
//   saver_tests shell-probe LOG TARGET  appends TARGET to LOG.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "tests/win32/harness.h"

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "shell-probe") == 0)
        return (std::ofstream(argv[2], std::ios::app) << argv[3] << "\n") ? 0 : 3;
    const struct {
        const char* name;
        void (*run)(const TestContext&);
    } groups[] = {{"window", RunWindowTests},       {"closing", RunClosingTests}, {"preview", RunPreviewTests},
                  {"legacy", RunLegacyTests},       {"about-box", RunAboutBoxTests}, {"no-gl", RunNoGlTests},
                  {"storm", RunStormTests},         {"modes", RunModeTests}};
    for (const auto& group : groups) {
        if (argc != 5 || std::strcmp(argv[1], group.name) != 0)
            continue;
        // CTest's absolute Unix paths, as Wine's Z: drive gives them.
        auto windowsPath = [](std::string path) {
            std::replace(path.begin(), path.end(), '/', '\\');
            return "Z:" + path;
        };
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        const TestContext context{windowsPath(argv[2]), self, windowsPath(argv[3]), windowsPath(argv[4])};
        CreateDirectoryA(context.workDir.c_str(), nullptr);
        UndoLegacyPlatform();
        group.run(context);
        return CheckSummary();
    }
    std::printf("usage: saver_tests GROUP SCR PASSWORD_MODULE WORK_DIR\ngroups:");
    for (const auto& group : groups)
        std::printf(" %s", group.name);
    std::printf("\n");
    return 2;
}
