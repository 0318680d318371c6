// The built-in codecs, one row each. Portable.
#include "core/image/bmp_codec.h"
#include "core/image/codec.h"
#include "core/image/jpeg_codec.h"
#include "core/image/jpeg_lossless.h"

namespace pelio {

namespace {

struct DecoderRow {
    ImageFormat format;
    DecodeFn decode;
};
struct EncoderRow {
    SaveFormat format;
    EncodeFn encode;
};

constexpr DecoderRow kDecoders[] = {
    {ImageFormat::Bmp, DecodeBmp},
    {ImageFormat::Jpeg, DecodeJpeg},
};
constexpr EncoderRow kEncoders[] = {
    {SaveFormat::Bmp, EncodeBmp},
    {SaveFormat::Jpeg, EncodeJpeg},
    {SaveFormat::JpegLossless, EncodeJpegLossless},
};

}  // namespace

DecodeFn FindDecoder(ImageFormat format) {
    for (const DecoderRow& row : kDecoders)
        if (row.format == format) return row.decode;
    return nullptr;
}

EncodeFn FindEncoder(SaveFormat format) {
    for (const EncoderRow& row : kEncoders)
        if (row.format == format) return row.encode;
    return nullptr;
}

}  // namespace pelio
