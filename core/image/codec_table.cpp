// The built-in codecs, one row each. Portable.
#include "core/image/bmp_codec.h"
#include "core/image/codec.h"
#include "core/image/gif_codec.h"
#include "core/image/jpeg_codec.h"
#include "core/image/jpeg_lossless.h"
#include "core/image/png_reader.h"
#include "core/image/png_writer.h"
#include "core/image/tiff_codec.h"

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
    {ImageFormat::Png, DecodePng},
    {ImageFormat::Jpeg, DecodeJpeg},
    {ImageFormat::Tiff, DecodeTiff},
    {ImageFormat::Gif, DecodeGif},
};
constexpr EncoderRow kEncoders[] = {
    {SaveFormat::Bmp, EncodeBmp},
    {SaveFormat::Png, EncodePng},
    {SaveFormat::Jpeg, EncodeJpeg},
    {SaveFormat::Tiff, EncodeTiff},
    {SaveFormat::Gif, EncodeGif},
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
