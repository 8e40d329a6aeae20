#pragma once

#include <memory>
#include <string>

// Local
#include "platform/avi/AviTypes.h"
#include "platform/avi/IFrameEncoder.h"

// The compressor a handler names, in its upper-case spelling (comptypeDIB for 0
// or 'dib '), or 0 when none of the services' compressors has that name.
FOURCC CanonicalCompressor(FOURCC fccHandler);

inline constexpr DWORD kDefaultFrameRate = 25;

// The encoder for a compressor handler (0 or 'DIB ' full frames, 'MJPG', 'H264', 'FFV1') at a
// size and quality 1..100; null with the reason in *pError when it cannot be made. H.264
// records the frame rate dwRate / dwScale in its stream, where some readers take it from.
std::unique_ptr<IFrameEncoder> CreateFrameEncoder(FOURCC fccHandler, int nWidth, int nHeight,
                                                  int nQuality, std::string* pError,
                                                  DWORD dwRate = kDefaultFrameRate, DWORD dwScale = 1);

// True when every frame stands alone, so separate encoder instances may encode frames in any
// order on several threads and the bytes are the same (full frames, Motion JPEG). False for
// encoders that carry state from frame to frame (H.264, FFV1): their frames must be encoded in
// order by one instance.
bool EncoderFramesAreIndependent(FOURCC fccHandler);
