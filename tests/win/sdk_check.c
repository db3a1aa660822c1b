/* A Windows program as an SDK user writes it: compiled against the header
 * and import library of an unpacked SDK archive and run from the archive's
 * bin directory, beside Nessel.dll and pellow.ini.  It initialises on the
 * shipped configuration, converts each name to ACE and back, and prints
 *
 *   version <TAB> GetVersion_Nessel()
 *   zones <TAB> NumOfDomainName after InitSDK
 *   NAME <TAB> ACE <TAB> CODEC <TAB> NAME DECODED FROM THE ACE
 *
 * (text in UTF-8) for the caller to compare.  A failing call prints its
 * result code in place of the rest of the line and makes the exit status 1. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "nessel.h"

static const wchar_t* const names[] = {L"b\u00FCcher.de", L"\u4E2D\u6587\u7F51.\u4E2D\u56FD"};

static void put_utf8(const nessel_unit* text) {
    char buf[1024];
    int n = WideCharToMultiByte(CP_UTF8, 0, (const wchar_t*)text, -1, buf, sizeof buf, NULL, NULL);
    fputs(n > 0 ? buf : "?", stdout);
}

static unsigned long zone_count(void) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, "SOFTWARE\\Talvex international inc.\\Talvex Client",
                     "NumOfDomainName", RRF_RT_REG_DWORD, NULL, &value, &size) != ERROR_SUCCESS)
        return 0;
    return value;
}

int main(void) {
    int status = 0;
    printf("version\t%s\n", GetVersion_Nessel());
    uint32_t code = InitSDK();
    if (code != NESSEL_OK) {
        printf("InitSDK\t%u\n", (unsigned)code);
        return 1;
    }
    printf("zones\t%lu\n", zone_count());
    for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i) {
        nessel_unit ace[256], back[256];
        char ace_text[256], codec[256];
        put_utf8((const nessel_unit*)names[i]);
        code = NamePrep_U("UTF-8", (const nessel_unit*)names[i], ace, sizeof ace, codec,
                          sizeof codec, 0);
        if (code == NESSEL_OK) {
            size_t n = 0;
            for (; ace[n] != 0 && n + 1 < sizeof ace_text; ++n) ace_text[n] = (char)ace[n];
            ace_text[n] = '\0';
            printf("\t%s\t%s\t", ace_text, codec);
            code = AceToUnicode("amc-z", ace_text, back, 0);
        }
        if (code == NESSEL_OK) {
            put_utf8(back);
        } else {
            printf("\tresult code %u", (unsigned)code);
            status = 1;
        }
        putchar('\n');
    }
    if (DeinitSDK() != NESSEL_OK) status = 1;
    return status;
}
