/* SPDX-License-Identifier: MIT */
/*
 * nessel_ext.h: length-taking forms of the Nessel conversions.
 *
 * The same conversions as the exports of nessel.h, on text given by pointer
 * and length instead of a terminator, written into a caller's buffer of
 * output_cap elements (bytes or UTF-16 units) with the produced length in
 * *output_len.  No terminator is read or written.  They return the result
 * codes of nessel.h and keep its limits (a name of at most 1023 units).
 *
 * A text that holds a zero byte or unit is refused, since the exports would
 * take it for the end: NESSEL_ERR_CONVERSION for names and encoding,
 * NESSEL_ERR_ACE_DECODE for decoding.  A null output_len, or a null input or
 * output with a nonzero length, is refused with NESSEL_ERR_ARGUMENT
 * (PREP_ERR_PROHIBITED for nessel_nameprep_n, as talvex_name_prep_u does).
 *
 * A result that does not fit output_cap is not written: the call returns
 * the code the export gives for a buffer too small (NESSEL_ERR_CONVERSION,
 * PREP_ERR_NORMALIZE_FAILED for nessel_nameprep_n) and sets *output_len to
 * the length needed, which is then larger than output_cap.  Any other
 * failure sets *output_len to 0.  What output holds beyond *output_len (and
 * after a failure) is unspecified.
 */
#ifndef NESSEL_EXT_H
#define NESSEL_EXT_H

#include <stddef.h>

#include "nessel.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A name or address to ACE as NamePrep_U converts it; codec_out
 * (codec_out_size bytes, may be null) receives the codec's name. */
NESSEL_API uint32_t NESSEL_CALL nessel_to_ace_n(const char* encoding, const nessel_unit* input,
                                                size_t input_len, nessel_unit* output,
                                                size_t output_cap, size_t* output_len,
                                                char* codec_out, size_t codec_out_size) NESSEL_NOEXCEPT;

/* ACE text to UTF-16 as AceToUnicode decodes it. */
NESSEL_API uint32_t NESSEL_CALL nessel_to_unicode_n(const char* ace_codec, const char* ace_text,
                                                    size_t ace_len, nessel_unit* output,
                                                    size_t output_cap, size_t* output_len) NESSEL_NOEXCEPT;

/* Nameprep with the PREP_* option bits, as talvex_name_prep_u. */
NESSEL_API uint32_t NESSEL_CALL nessel_nameprep_n(const nessel_unit* input, size_t input_len,
                                                  nessel_unit* output, size_t output_cap,
                                                  size_t* output_len, uint32_t flags) NESSEL_NOEXCEPT;

/* Bytes of encoding enctype to UTF-16, as encoding2unicode: NESSEL_ERR_NO_CODEC
 * for an enctype not registered, NESSEL_ERR_ACE_DECODE when the bytes do not
 * decode. */
NESSEL_API uint32_t NESSEL_CALL nessel_decode_n(uint32_t enctype, const char* input,
                                                size_t input_len, nessel_unit* output,
                                                size_t output_cap, size_t* output_len) NESSEL_NOEXCEPT;

/* UTF-16 to the bytes of encoding enctype, as unicode2encoding:
 * NESSEL_ERR_NO_TARGET for an enctype not registered, NESSEL_ERR_TARGET_ENCODE
 * when the text has no form in it. */
NESSEL_API uint32_t NESSEL_CALL nessel_encode_n(uint32_t enctype, const nessel_unit* input,
                                                size_t input_len, char* output,
                                                size_t output_cap, size_t* output_len) NESSEL_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif /* NESSEL_EXT_H */
