/* SPDX-License-Identifier: MIT */
/* examples/hello.c: names to ACE and back, and text to GBK, through the C
 * interface: the caller initialises, sizes every buffer, converts UTF-8 to
 * UTF-16 itself (here: the names are written as UTF-16) and reads result
 * codes. */
#include <stdio.h>

#include "nessel.h"

int main(void) {
    /* "bücher.de" and "中文网.中国" as UTF-16 units. */
    static const nessel_unit names[][16] = {
        {'b', 0x00FC, 'c', 'h', 'e', 'r', '.', 'd', 'e', 0},
        {0x4E2D, 0x6587, 0x7F51, '.', 0x4E2D, 0x56FD, 0},
    };
    nessel_unit ace[1024], back[1024];
    char codec[256], narrow[1024], gbk[64];
    uint32_t code = InitSDK();
    if (code != NESSEL_OK) {
        fprintf(stderr, "InitSDK: %u\n", code);
        return 1;
    }
    for (int i = 0; i < 2; ++i) {
        code = NamePrep_U("UTF-8", names[i], ace, sizeof ace, codec, sizeof codec, 0);
        if (code != NESSEL_OK) {
            fprintf(stderr, "NamePrep_U: %u\n", code);
            return 1;
        }
        int n = 0;
        for (; ace[n] != 0; ++n) narrow[n] = (char)ace[n]; /* ACE is one byte a unit */
        narrow[n] = 0;
        code = AceToUnicode("amc-z", narrow, back, 0);
        printf("%s\t%s\t%s\n", narrow, codec, code == NESSEL_OK ? "decodes back" : "fails back");
    }
    if (unicode2encoding(str2enctype("gbk"), names[1], gbk) == 0) return 1;
    printf("GBK:");
    for (const char* p = gbk; *p; ++p) printf(" %02X", (unsigned char)*p);
    printf("\n");
    DeinitSDK();
    return 0;
}
