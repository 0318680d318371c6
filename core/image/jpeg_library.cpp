// Error manager, memory source and sink destination for libjpeg. Portable.
#include "core/image/jpeg_library.h"

#include <cstring>
#include <new>

#include "core/image/jpeg_codec.h"

namespace pelio {

namespace {

thread_local char lastMessage[JMSG_LENGTH_MAX];

}  // namespace

std::string LastJpegLibraryMessage() { return lastMessage; }

namespace jpeg {

namespace {

void ErrorExit(j_common_ptr object) {
    KeepMessage(object);
    std::longjmp(reinterpret_cast<ErrorManager*>(object->err)->jump, 1);
}

// Warnings and traces go nowhere: there is no console.
void OutputMessage(j_common_ptr) {}

const JOCTET kFakeEnd[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr d) {
    WARNMS(d, JWRN_JPEG_EOF);
    d->src->next_input_byte = kFakeEnd;
    d->src->bytes_in_buffer = sizeof kFakeEnd;
    return TRUE;
}

void SkipInputData(j_decompress_ptr d, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = d->src;
    const size_t n = static_cast<size_t>(count);
    if (n > src->bytes_in_buffer) {
        src->next_input_byte += src->bytes_in_buffer;
        src->bytes_in_buffer = 0;
        return;
    }
    src->next_input_byte += n;
    src->bytes_in_buffer -= n;
}

void TermSource(j_decompress_ptr) {}

constexpr size_t kDestinationBuffer = 1048576;

struct SinkDestination {
    jpeg_destination_mgr pub;
    ByteSink* sink;
    JOCTET* buffer;
};

bool WriteToSink(j_compress_ptr c, const JOCTET* data, size_t size) {
    auto* dest = reinterpret_cast<SinkDestination*>(c->dest);
    try {
        return dest->sink->Write(data, size);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void InitDestination(j_compress_ptr c) {
    auto* dest = reinterpret_cast<SinkDestination*>(c->dest);
    dest->buffer = static_cast<JOCTET*>(
        (*c->mem->alloc_large)(reinterpret_cast<j_common_ptr>(c), JPOOL_IMAGE, kDestinationBuffer));
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kDestinationBuffer;
}

boolean EmptyOutputBuffer(j_compress_ptr c) {
    auto* dest = reinterpret_cast<SinkDestination*>(c->dest);
    if (!WriteToSink(c, dest->buffer, kDestinationBuffer)) ERREXIT(c, JERR_FILE_WRITE);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kDestinationBuffer;
    return TRUE;
}

void TermDestination(j_compress_ptr c) {
    auto* dest = reinterpret_cast<SinkDestination*>(c->dest);
    const size_t used = kDestinationBuffer - dest->pub.free_in_buffer;
    if (used && !WriteToSink(c, dest->buffer, used)) ERREXIT(c, JERR_FILE_WRITE);
}

}  // namespace

void KeepMessage(j_common_ptr object) {
    char text[JMSG_LENGTH_MAX] = {};
    (*object->err->format_message)(object, text);
    std::memcpy(lastMessage, text, sizeof text);
    lastMessage[JMSG_LENGTH_MAX - 1] = 0;
}

void UseErrorManager(jpeg_common_struct& object, ErrorManager& err) {
    object.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.output_message = OutputMessage;
}

void UseMemorySource(jpeg_decompress_struct& d, const uint8_t* data, size_t size) {
    if (!d.src)
        d.src = static_cast<jpeg_source_mgr*>((*d.mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(&d), JPOOL_PERMANENT, sizeof(jpeg_source_mgr)));
    jpeg_source_mgr* src = d.src;
    src->init_source = InitSource;
    src->fill_input_buffer = FillInputBuffer;
    src->skip_input_data = SkipInputData;
    src->resync_to_restart = jpeg_resync_to_restart;
    src->term_source = TermSource;
    src->next_input_byte = data;
    src->bytes_in_buffer = size;
}

void UseSinkDestination(jpeg_compress_struct& c, ByteSink& sink) {
    auto* dest = static_cast<SinkDestination*>((*c.mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(&c), JPOOL_PERMANENT, sizeof(SinkDestination)));
    dest->pub.init_destination = InitDestination;
    dest->pub.empty_output_buffer = EmptyOutputBuffer;
    dest->pub.term_destination = TermDestination;
    dest->sink = &sink;
    dest->buffer = nullptr;
    c.dest = &dest->pub;
}

}  // namespace jpeg

}  // namespace pelio
