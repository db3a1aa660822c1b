/* SPDX-License-Identifier: MIT */
/* A program built against the installed library: converts each name given
 * (UTF-8) to its ACE form and prints it, one line per name. */
#include <stdio.h>
#include <string.h>

#include <nessel.h>

int main(int argc, char** argv) {
    if (InitSDK() != NESSEL_OK) {
        fprintf(stderr, "consumer: InitSDK failed\n");
        return 2;
    }
    const uint32_t utf8 = str2enctype("utf8");
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        nessel_unit name[1024];
        nessel_unit ace[1024];
        char codec[256];
        uint32_t rc = NESSEL_ERR_CONVERSION;
        /* One unit per byte at most: a longer name would not fit. */
        if (strlen(argv[i]) < 1024 && encoding2unicode(utf8, argv[i], name))
            rc = NamePrep_U("UTF-8", name, ace, sizeof ace, codec, sizeof codec, 0);
        if (rc != NESSEL_OK) {
            fprintf(stderr, "consumer: %s: %u\n", argv[i], (unsigned)rc);
            status = 1;
            continue;
        }
        for (int k = 0; ace[k] != 0; ++k) putchar((char)ace[k]);
        putchar('\n');
    }
    DeinitSDK();
    return status;
}
