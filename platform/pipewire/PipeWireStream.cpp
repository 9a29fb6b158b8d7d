#include "platform/pipewire/PipeWireStream.h"

#include <pipewire/pipewire.h>
#include <spa/buffer/meta.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>

#include <cstdint>
#include <unistd.h>

namespace {

constexpr int MaxFramesPerSecond = 20;
constexpr int MaxSide = PipeWireStream::MaxSide;
constexpr int MaxCursorSide = 512;

// Cursor metadata with room for a bitmap of side x side pixels: the compositor
// writes the bitmap when there is room, though only the position is read.
// PipeWire gives a stream no cursor metadata at all, silently, when the sizes
// the two sides offer do not meet, and compositors offer a size of their own
// choosing: GNOME Shell 43 one size only, room for 384 x 384. Up to 512 x 512
// (1 MiB a buffer) is taken; a compositor asking for more is asking for what
// no pointer image needs.
constexpr int cursorMetaSize(int side)
{
    return static_cast<int>(sizeof(spa_meta_cursor) + sizeof(spa_meta_bitmap)) +
           side * side * ScreenCastBytesPerPixel;
}

// Every stream's pointer news numbered in one sequence.
quint64 pointerNews = 0;

const spa_pod* enumFormat(spa_pod_builder& builder)
{
    spa_pod_frame object{}, choice{};
    spa_pod_builder_push_object(&builder, &object, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat);
    spa_pod_builder_add(&builder, SPA_FORMAT_mediaType, SPA_POD_Id(SPA_MEDIA_TYPE_video),
                        SPA_FORMAT_mediaSubtype, SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), 0);
    spa_pod_builder_prop(&builder, SPA_FORMAT_VIDEO_format, 0);
    spa_pod_builder_push_choice(&builder, &choice, SPA_CHOICE_Enum, 0);
    spa_pod_builder_id(&builder, ScreenCastFormats.front().format); // the default
    for (const ScreenCastFormat& row : ScreenCastFormats)
        spa_pod_builder_id(&builder, row.format);
    spa_pod_builder_pop(&builder, &choice);
    const spa_rectangle size{1920, 1080}, smallest{1, 1}, largest{MaxSide, MaxSide};
    const spa_fraction variable{0, 1}, fastest{MaxFramesPerSecond, 1};
    spa_pod_builder_add(
        &builder, SPA_FORMAT_VIDEO_size, SPA_POD_CHOICE_RANGE_Rectangle(&size, &smallest, &largest),
        SPA_FORMAT_VIDEO_framerate, SPA_POD_Fraction(&variable), SPA_FORMAT_VIDEO_maxFramerate,
        SPA_POD_CHOICE_RANGE_Fraction(&fastest, &variable, &fastest), 0);
    return static_cast<const spa_pod*>(spa_pod_builder_pop(&builder, &object));
}

} // namespace

PipeWireStream::PipeWireStream(pw_core* core, quint32 node, QPoint origin, Events events)
    : FPosition(origin), FEvents(std::move(events))
{
    static const pw_stream_events handlers = [] {
        pw_stream_events e{};
        e.version = PW_VERSION_STREAM_EVENTS;
        e.state_changed = [](void* self, pw_stream_state, pw_stream_state state, const char*) {
            static_cast<PipeWireStream*>(self)->onStateChanged(state);
        };
        e.param_changed = [](void* self, uint32_t id, const spa_pod* param) {
            static_cast<PipeWireStream*>(self)->onParamChanged(id, param);
        };
        e.remove_buffer = [](void* self, pw_buffer* buffer) {
            static_cast<PipeWireStream*>(self)->onRemoveBuffer(buffer);
        };
        e.process = [](void* self) { static_cast<PipeWireStream*>(self)->onProcess(); };
        return e;
    }();
    FStream = pw_stream_new(core, "huvella",
                            pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY,
                                              "Capture", PW_KEY_MEDIA_ROLE, "Screen", nullptr));
    if (FStream == nullptr) {
        FFailed = true; // reported by the desktop, which sees no stream run
        return;
    }
    pw_stream_add_listener(FStream, &FListener, &handlers, this);
    std::uint8_t storage[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(storage, sizeof storage);
    const spa_pod* params[] = {enumFormat(builder)};
    if (pw_stream_connect(FStream, PW_DIRECTION_INPUT, node, PW_STREAM_FLAG_AUTOCONNECT, params,
                          1) < 0)
        FFailed = true;
}

PipeWireStream::~PipeWireStream()
{
    if (FStream == nullptr)
        return;
    releaseImage();
    spa_hook_remove(&FListener);
    pw_stream_destroy(FStream);
}

QRect PipeWireStream::rect() const
{
    return FSize.isEmpty() ? QRect() : QRect(FPosition, FSize);
}

std::optional<QPoint> PipeWireStream::pointer() const
{
    if (!FPointer)
        return std::nullopt;
    return FPosition + *FPointer;
}

std::optional<HSLUtils::TColor> PipeWireStream::pixelAt(QPoint at) const
{
    HSLUtils::TColor color = 0;
    if (!rowAt(at, 1, &color))
        return std::nullopt;
    return color;
}

bool PipeWireStream::rowAt(QPoint from, int count, HSLUtils::TColor* colors) const
{
    constexpr int MaxCount = 64;
    if (FImage.buffer == nullptr || count < 1 || count > MaxCount || !rect().contains(from) ||
        !rect().contains(from + QPoint(count - 1, 0)))
        return false;
    const QPoint p = from - FPosition;
    const std::int64_t start = static_cast<std::int64_t>(p.y()) * FImage.stride +
                               static_cast<std::int64_t>(p.x()) * ScreenCastBytesPerPixel;
    const std::size_t size = static_cast<std::size_t>(count) * ScreenCastBytesPerPixel;
    std::uint8_t bytes[MaxCount * ScreenCastBytesPerPixel];
    const std::uint8_t* row = bytes;
    if (FImage.pixels != nullptr)
        row = FImage.pixels + start;
    else if (pread(FImage.fd, bytes, size, static_cast<off_t>(FImage.offset + start)) !=
             static_cast<ssize_t>(size))
        return false;
    for (int i = 0; i < count; ++i)
        colors[i] = ScreenCastColorAt(row + i * ScreenCastBytesPerPixel, *FFormat);
    return true;
}

void PipeWireStream::onStateChanged(int state)
{
    switch (state) {
    case PW_STREAM_STATE_STREAMING:
        if (!FRunning) {
            FRunning = true;
            if (FEvents.running)
                FEvents.running();
        }
        break;
    case PW_STREAM_STATE_ERROR:
        fail();
        break;
    case PW_STREAM_STATE_UNCONNECTED:
        // Paused is no failure: a stream pauses while its format changes (a
        // monitor's new mode). Its source going away is seen by the desktop,
        // as the node's removal.
        if (FRunning)
            fail();
        break;
    default:
        break;
    }
}

void PipeWireStream::fail()
{
    if (FFailed)
        return;
    FFailed = true;
    releaseImage();
    FPointer.reset();
    if (FEvents.failed)
        FEvents.failed();
}

void PipeWireStream::onParamChanged(quint32 id, const spa_pod* param)
{
    if (id != SPA_PARAM_Format)
        return;
    releaseImage();
    FFormat.reset();
    FSize = {};
    if (param == nullptr)
        return; // the format is cleared: no frames until the next one
    uint32_t mediaType = 0, mediaSubtype = 0;
    spa_video_info_raw info{};
    if (spa_format_parse(param, &mediaType, &mediaSubtype) < 0 ||
        mediaType != SPA_MEDIA_TYPE_video || mediaSubtype != SPA_MEDIA_SUBTYPE_raw ||
        spa_format_video_raw_parse(param, &info) < 0) {
        fail();
        return;
    }
    FFormat = ScreenCastFormatOf(info.format);
    if (!FFormat || info.size.width == 0 || info.size.height == 0 || info.size.width > MaxSide ||
        info.size.height > MaxSide) {
        FFormat.reset();
        fail();
        return;
    }
    FSize = QSize(static_cast<int>(info.size.width), static_cast<int>(info.size.height));
    askForBuffers();
}

// Shared memory only, the header's flags, and the cursor's position.
void PipeWireStream::askForBuffers()
{
    std::uint8_t storage[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(storage, sizeof storage);
    const spa_pod* params[3];
    params[0] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_dataType,
        SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemFd) | (1 << SPA_DATA_MemPtr))));
    params[1] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
        SPA_POD_Id(SPA_META_Header), SPA_PARAM_META_size,
        SPA_POD_Int(static_cast<int>(sizeof(spa_meta_header)))));
    params[2] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
        SPA_POD_Id(SPA_META_Cursor), SPA_PARAM_META_size,
        SPA_POD_CHOICE_RANGE_Int(cursorMetaSize(64), cursorMetaSize(1),
                                 cursorMetaSize(MaxCursorSide))));
    pw_stream_update_params(FStream, params, 3);
}

void PipeWireStream::onRemoveBuffer(pw_buffer* buffer)
{
    if (buffer == FImage.buffer)
        FImage = {}; // going away with the stream's buffers: not to be queued back
}

// The newest image wins; every buffer's pointer counts, in order.
void PipeWireStream::onProcess()
{
    pw_buffer* newest = nullptr;
    std::optional<Image> image;
    while (pw_buffer* buffer = pw_stream_dequeue_buffer(FStream)) {
        readPointer(buffer->buffer);
        std::optional<Image> its = imageOf(buffer);
        if (!its) {
            pw_stream_queue_buffer(FStream, buffer);
            continue;
        }
        if (newest != nullptr)
            pw_stream_queue_buffer(FStream, newest);
        newest = buffer;
        image = its;
    }
    if (!image)
        return;
    const bool first = !FHadImage;
    releaseImage();
    FImage = *image;
    FHadImage = true;
    if (first && FEvents.image)
        FEvents.image();
}

void PipeWireStream::releaseImage()
{
    if (FImage.buffer != nullptr && FStream != nullptr)
        pw_stream_queue_buffer(FStream, FImage.buffer);
    FImage = {};
}

// Compositors leave the id 0 when the pointer is not on the monitor.
void PipeWireStream::readPointer(const spa_buffer* buffer)
{
    const auto* cursor = static_cast<const spa_meta_cursor*>(
        spa_buffer_find_meta_data(buffer, SPA_META_Cursor, sizeof(spa_meta_cursor)));
    if (cursor == nullptr)
        return; // no news
    const QPoint at(cursor->position.x, cursor->position.y);
    std::optional<QPoint> now;
    if (cursor->id != 0 && QRect(QPoint(), FSize).contains(at))
        now = at;
    if (FToldPointer && now == FPointer)
        return; // the same place again
    FToldPointer = true;
    FPointer = now;
    FPointerSerial = ++pointerNews;
}

// The image a buffer holds, when it holds a whole sound one in the format.
std::optional<PipeWireStream::Image> PipeWireStream::imageOf(pw_buffer* buffer) const
{
    const spa_buffer* b = buffer->buffer;
    if (!FFormat || b->n_datas < 1)
        return std::nullopt;
    const auto* header = static_cast<const spa_meta_header*>(
        spa_buffer_find_meta_data(b, SPA_META_Header, sizeof(spa_meta_header)));
    if (header != nullptr && (header->flags & SPA_META_HEADER_FLAG_CORRUPTED) != 0)
        return std::nullopt;
    const spa_data& data = b->datas[0];
    const spa_chunk* chunk = data.chunk;
    const bool inFile = data.type == SPA_DATA_MemFd && data.fd >= 0;
    if ((data.data == nullptr && !inFile) || chunk == nullptr || chunk->size == 0 ||
        (chunk->flags & SPA_CHUNK_FLAG_CORRUPTED) != 0)
        return std::nullopt;
    // Every row inside the mapped memory, or no image: a short or garbled
    // buffer must not be read past its end.
    const std::int64_t row = static_cast<std::int64_t>(FSize.width()) * ScreenCastBytesPerPixel;
    const std::int64_t stride = chunk->stride;
    const std::int64_t offset = chunk->offset;
    if (stride < row || offset + stride * (FSize.height() - 1) + row > data.maxsize)
        return std::nullopt;
    if (data.data != nullptr)
        return Image{buffer, static_cast<const std::uint8_t*>(data.data) + offset, -1, 0,
                     static_cast<int>(stride)};
    return Image{buffer, nullptr, static_cast<int>(data.fd),
                 static_cast<std::int64_t>(data.mapoffset) + offset, static_cast<int>(stride)};
}
