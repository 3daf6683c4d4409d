// display_change DEVICE WIDTH HEIGHT X Y: gives a monitor a mode and a place
// through the system's display settings, as a user would; a width of 0 takes
// it off the desktop. Wine carries the change out with RandR and tells every
// window with WM_DISPLAYCHANGE. Exit status 0 when the system took it.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 6)
        return 2;
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_POSITION;
    mode.dmPelsWidth = static_cast<DWORD>(std::atoi(argv[2]));
    mode.dmPelsHeight = static_cast<DWORD>(std::atoi(argv[3]));
    mode.dmPosition.x = std::atoi(argv[4]);
    mode.dmPosition.y = std::atoi(argv[5]);
    const bool staged = ChangeDisplaySettingsExA(argv[1], &mode, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET,
                                                 nullptr) == DISP_CHANGE_SUCCESSFUL;
    return staged && ChangeDisplaySettingsExA(nullptr, nullptr, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
}
