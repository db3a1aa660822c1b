// SPDX-License-Identifier: MIT
// base/limits.h: the working buffers of one conversion.  Every length limit
// of the library is one of these five sizes, or one less for the
// terminator; a text that would not fit makes the conversion fail instead
// of growing past it.
#pragma once

#include <cstddef>

namespace nessel {

// A label's worth, in units or bytes: nameprep's input and work buffer, the
// native input of NamePrep, the working buffers of the ACE codecs and the
// decoded text of an ACE name.
inline constexpr size_t kLabelBuffer = 1024;
// A whole name or address decoded to UTF-16 (the work name).
inline constexpr size_t kNameBuffer = 8192;
// The ACE text of a whole name or address, in bytes.
inline constexpr size_t kAceBuffer = 8192;
// The largest native output NamePrep writes, in bytes.
inline constexpr size_t kNativeOutputBuffer = 16384;
// The name of the codec used, handed back to the caller, in bytes.
inline constexpr size_t kCodecNameBuffer = 256;

}  // namespace nessel
