// Stands in for a game client. It records, in "<its own path>.started", the show command it was given and the time
// it started, then ends: a test can tell which client ran, how, and whether it ran after a given moment.

#include <windows.h>

#include <string>

#include "record_file.h"
#include "test_files.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    using namespace velstrand::testing;
    const bool written = WriteRecord(OwnPath() + L".started", {{L"cmdshow", std::to_wstring(showCommand)},
                                                               {L"time", std::to_wstring(PreciseNow())}});
    return written ? 0 : 1;
}
