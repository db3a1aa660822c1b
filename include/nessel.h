/* SPDX-License-Identifier: MIT */
/*
 * nessel.h: the C interface of the Nessel library.
 *
 * Nessel converts internationalized domain names and e-mail addresses to
 * ASCII-compatible encodings (ACE) and back, and converts text between its
 * registered encodings and UTF-16.  UTF-16 text is passed as zero-terminated
 * arrays of 16-bit units; every unit is treated as one character.
 *
 * Call InitSDK first and check that it returned 0; call DeinitSDK last.
 * None of the output buffers below is bounded by the library unless a size
 * argument says so: the caller provides room for the longest result (see the
 * README for the sizes).
 *
 * Threads: every function may be called from any thread at any time.  Each
 * call behaves as if the calls had run one after another in some order: a
 * conversion uses the zone table that was current when it started, whole,
 * even while InitSDK or UpdateRegistry on another thread loads a new one;
 * the ACE prefix and suffix settings that a conversion leaves for later
 * decodings are process-wide, so with several threads a decoding sees those
 * of whichever conversion came last.  Conversions do not wait for each other.
 * Concurrent InitSDK calls run the one-time initialisation once; an update
 * that starts while another runs waits for it and reports its outcome
 * instead of downloading again.  DeinitSDK while other threads convert makes
 * their later conversions fail with their codes (no zone, codec or encoding
 * not registered), never a fault.
 */
#ifndef NESSEL_H
#define NESSEL_H

#include <stdint.h>

/* Calling convention of the exports: __stdcall on 32-bit Windows. */
#if defined(_WIN32) && !defined(_WIN64)
#define NESSEL_CALL __stdcall
#else
#define NESSEL_CALL
#endif

#if defined(NESSEL_BUILDING)
#if defined(_WIN32)
#define NESSEL_API
#else
#define NESSEL_API __attribute__((visibility("default")))
#endif
#else
#define NESSEL_API
#endif

#ifdef __cplusplus
#define NESSEL_NOEXCEPT noexcept
#else
#define NESSEL_NOEXCEPT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* One UTF-16 code unit. */
typedef uint16_t nessel_unit;

/* Result codes of the exports. */
#define NESSEL_OK 0u
#define NESSEL_ERR_INIT 1001u          /* initialisation failed */
#define NESSEL_ERR_NOT_LOADED 2001u    /* DeinitSDK: no zone table loaded */
#define NESSEL_ERR_ARGUMENT 3001u      /* null pointer or codec not accepted */
#define NESSEL_ERR_NO_ZONE 4001u       /* no zone matches the name */
#define NESSEL_ERR_CONVERSION 6001u    /* decoding or ACE encoding failed */
#define NESSEL_ERR_NAMEPREP 6002u      /* nameprep refused the name for its zone */
#define NESSEL_ERR_ALL_ASCII 7001u     /* prepared name is ASCII: nothing to do */
#define NESSEL_ERR_EMPTY 7002u         /* prepared name is empty */
#define NESSEL_ERR_NO_CODEC 101u       /* ACE codec not registered */
#define NESSEL_ERR_NO_TARGET 102u      /* target encoding not registered */
#define NESSEL_ERR_ACE_DECODE 201u     /* ACE text does not decode */
#define NESSEL_ERR_TARGET_ENCODE 202u  /* decoded text has no form in the target */

/* Nameprep result codes (talvex_name_prep_u). */
#define PREP_ERR_PROHIBITED 203u
#define PREP_ERR_LABEL_CHAR 204u
#define PREP_ERR_NOT_ALLOWED 205u
#define PREP_ERR_MAP_FAILED 206u
#define PREP_ERR_NORMALIZE_FAILED 207u

/* Nameprep option bits (talvex_name_prep_u flags). */
#define PREP_LOCAL_RULES 0x0001u
#define PREP_TO_SIMPLIFIED 0x0002u
#define PREP_MAP_IDEOGRAPHIC_STOP 0x0004u
#define PREP_CHECK_ALLOWED 0x0008u
#define PREP_JAPANESE_PREMAP 0x0010u
#define PREP_DELIMITERS 0x0020u
#define PREP_ALLOW_UNDERSCORE 0x0080u
#define PREP_KOREAN_PREMAP 0x0100u
#define PREP_TO_TRADITIONAL 0x0200u

/* Lifecycle. */
NESSEL_API uint32_t NESSEL_CALL InitSDK(void) NESSEL_NOEXCEPT;
NESSEL_API uint32_t NESSEL_CALL DeinitSDK(void) NESSEL_NOEXCEPT;
NESSEL_API int NESSEL_CALL UpdateRegistry(void) NESSEL_NOEXCEPT;
NESSEL_API const char* NESSEL_CALL GetVersion_Nessel(void) NESSEL_NOEXCEPT;

/* Names and addresses to ACE.  options: bit 0x80 tries the fallback
 * encodings after a failure.  output_size is the size of output in bytes
 * (at most 16384 for NamePrep); codec_out (256 bytes, may be null) receives
 * the name of the codec used. */
NESSEL_API uint32_t NESSEL_CALL NamePrep(const char* encoding, const char* input, char* output,
                                         uint32_t output_size, char* codec_out,
                                         uint32_t codec_out_size, unsigned char options) NESSEL_NOEXCEPT;
NESSEL_API uint32_t NESSEL_CALL NamePrep_U(const char* encoding, const nessel_unit* input,
                                           nessel_unit* output, uint32_t output_size,
                                           char* codec_out, uint32_t codec_out_size,
                                           uint32_t reserved) NESSEL_NOEXCEPT;

/* ACE back to native text or UTF-16.  ace_codec is one of "race", "lace",
 * "racex", "dude", "dudex", "amc-z" (any letter case). */
NESSEL_API uint32_t NESSEL_CALL AceToNative(const char* ace_codec, const char* ace_text,
                                            char* output, const char* native_encoding,
                                            uint32_t reserved) NESSEL_NOEXCEPT;
NESSEL_API uint32_t NESSEL_CALL AceToUnicode(const char* ace_codec, const char* ace_text,
                                             nessel_unit* output, uint32_t reserved) NESSEL_NOEXCEPT;

/* Nameprep on its own.  out_capacity counts UTF-16 units, terminator included. */
NESSEL_API uint32_t NESSEL_CALL talvex_name_prep_u(const nessel_unit* input, nessel_unit* output,
                                                   uint32_t output_capacity, uint32_t flags) NESSEL_NOEXCEPT;

/* Encodings.  str2enctype answers 0 for an unknown name; the converters
 * return nonzero for success and 0 (with an empty destination) for failure. */
NESSEL_API uint32_t NESSEL_CALL str2enctype(const char* name) NESSEL_NOEXCEPT;
NESSEL_API int NESSEL_CALL encoding2unicode(uint32_t enctype, const char* source,
                                            nessel_unit* destination) NESSEL_NOEXCEPT;
NESSEL_API int NESSEL_CALL unicode2encoding(uint32_t enctype, const nessel_unit* source,
                                            char* destination) NESSEL_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif /* NESSEL_H */
