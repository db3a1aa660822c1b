// SPDX-License-Identifier: MIT
// api/dllmain.cpp: the entry point of Nessel.dll.  Only the DLL is built with
// it; the static core used by the program and the tests has none.
#include <windows.h>

#include "ace/convert.h"
#include "config/zone_table.h"
#include "encoding/encoding.h"

// Process detach (FreeLibrary or process exit) releases what DeinitSDK
// releases: the encoding registry and the zone table.  Attach and the thread
// notifications do nothing; the library does not initialise itself on load.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) {
        nessel::release_encoding_storage();
        nessel::release_zone_table_storage();
        nessel::release_ace_settings_storage();
    }
    return TRUE;
}
