// Codec error codes and their fixed messages. Portable.
#pragma once

namespace pelio {

enum CodecError : int {
    kCodecOk = 0,
    kCodecNoMemory = 1,
    kCodecUnsupported = 2,
    kCodecCommentEdit = 3,
    kCodecReadFailed = 4,
    kCodecCreateFailed = 5,
    kCodecBadFile = 6,
    kCodecSaveFailed = 7,
    kPngSignature = 8,
    kPngCrc = 9,
    kPngChunkLength = 10,
    kPngIhdrLength = 11,
    kPngIhdrType = 12,
    kPngIhdrSize = 13,
    kPngIhdrColourType = 14,
    kPngIhdrBitDepth = 15,
    kPngIhdrCompression = 16,
    kPngIhdrFilter = 17,
    kPngIhdrInterlace = 18,
    kPngPlteLength = 19,
    kPngChunkOrder = 20,
    kPngCriticalChunk = 21,
    kPngIdatLength = 22,
    kPngInflate = 23,
    kPngDeflate = 24,
};

// The message of a code; null for codes that show nothing.
const wchar_t* CodecErrorMessage(int code);

}  // namespace pelio
