// The glue every JPEG path shares: error manager, memory source, sink destination. Portable.
// The library's error exit longjmps to the caller's recovery point: functions that call the
// library keep only trivially destructible locals.
#pragma once
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include "core/image/byte_io.h"

namespace pelio::jpeg {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// Installs the manager on `object` (a compressor or decompressor, before its creation).
void UseErrorManager(jpeg_common_struct& object, ErrorManager& err);

// Remembers the library's formatted message for the current thread.
void KeepMessage(j_common_ptr object);

// Reads `size` bytes at `data`; an exhausted source yields a fake end-of-image marker.
void UseMemorySource(jpeg_decompress_struct& d, const uint8_t* data, size_t size);

// Writes through a 1 MiB buffer to `sink`; a failed write is the library's write error.
void UseSinkDestination(jpeg_compress_struct& c, ByteSink& sink);

}  // namespace pelio::jpeg
