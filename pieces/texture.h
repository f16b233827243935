#pragma once
// Decoding of the side texture: a JPEG reduced to an 8-bit palettised image by
// the decoder's own colour quantisation.

#include <cstdint>
#include <span>

#include "platform/bitmap.h"

// Decodes a JPEG into an Indexed8 bitmap with at most 256 colours chosen by
// two-pass quantisation; palette entries past the ones used are black.
// EError when the data is not a JPEG the decoder can read.
TBitmap DecodeQuantisedJpeg(std::span<const std::uint8_t> jpeg);

// The wood texture: the "SOLID" resource of type "JPG", decoded as above.
// EResNotFound when there is no such resource, EError when it cannot be decoded.
TBitmap LoadSideTexture();
