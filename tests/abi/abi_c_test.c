/* The public header as a C program sees it, linked against the shared
 * library: version string, the encoding exports before and after InitSDK. */
#include <stdio.h>
#include <string.h>

#include "nessel.h"

static int failures = 0;
#define CHECK(cond)                                               \
    do {                                                          \
        if (!(cond)) {                                            \
            fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #cond); \
            ++failures;                                           \
        }                                                         \
    } while (0)

/* Every export resolves through the import library; on 32-bit Windows this
 * links the header's __stdcall declarations against the decorated names. */
typedef void (*any_fn)(void);
static const any_fn all_exports[] = {
    (any_fn)InitSDK,       (any_fn)DeinitSDK,         (any_fn)UpdateRegistry,
    (any_fn)GetVersion_Nessel, (any_fn)NamePrep,      (any_fn)NamePrep_U,
    (any_fn)AceToNative,   (any_fn)AceToUnicode,      (any_fn)talvex_name_prep_u,
    (any_fn)str2enctype,   (any_fn)encoding2unicode,  (any_fn)unicode2encoding,
};

int main(void) {
    for (size_t i = 0; i < sizeof all_exports / sizeof all_exports[0]; ++i)
        CHECK(all_exports[i] != NULL);

    nessel_unit units[16];
    char bytes[16];
    const nessel_unit ab[] = {'a', 'b', 0};

    CHECK(strcmp(GetVersion_Nessel(), "Nessel Version 4.0.31") == 0);
    CHECK(str2enctype("ascii") == 0);
    InitSDK(); /* the encodings are registered even when no zone table loads */
    CHECK(str2enctype("ASCII") == 1);
    CHECK(encoding2unicode(1, "hi", units) == 1 && units[0] == 'h' && units[2] == 0);
    CHECK(unicode2encoding(1, ab, bytes) == 1 && strcmp(bytes, "ab") == 0);
    DeinitSDK();
    CHECK(str2enctype("ascii") == 0);
    return failures == 0 ? 0 : 1;
}
