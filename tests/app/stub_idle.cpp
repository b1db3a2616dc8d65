// Stands in for a running game or companion process, copied under their image names. It does nothing and ends by
// itself after a minute, so that a test that fails half-way leaves nothing running for long.

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ::Sleep(60 * 1000);
    return 0;
}
