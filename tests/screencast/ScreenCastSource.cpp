// A PipeWire video source standing in for a compositor's monitor stream: a
// driver node that sends the pattern of ScreenCastPattern.h and the pointer's
// position as cursor metadata, buffer by buffer as its standard input says:
//   frame X Y     a whole frame, the pointer's hotspot at (X, Y)
//   pointer X Y   a buffer with no image (chunk size 0), only the pointer
//   corrupt X Y   a whole frame of another picture, marked corrupted
//   garbled X Y   a whole frame of another picture whose chunk says rows are
//                 shorter than a row of pixels, or lie past the memory's end
//   off           no image, the pointer on no pixel of this monitor (id 0)
//   quit
// Prints "node ID" once the node can be linked, and "sent N" after each buffer.
// Each buffer's picture is a memory file of its own, as compositors make them,
// apart from the memory of the buffers' metadata.
//   screencast-source FORMAT WIDTH HEIGHT SOURCE-NUMBER
// FORMAT is one of BGRx RGBx BGRA RGBA xBGR xRGB: its letters say the bytes'
// order, which is all the source knows of it.
#include "ScreenCastPattern.h"

#include <pipewire/pipewire.h>
#include <spa/buffer/meta.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

struct Command {
    std::string what;
    int x = 0, y = 0;
};

struct Source {
    pw_main_loop* loop = nullptr;
    pw_stream* stream = nullptr;
    spa_hook listener{};
    std::string format;
    spa_video_format id = SPA_VIDEO_FORMAT_UNKNOWN;
    int width = 0, height = 0, number = 0;
    bool announced = false;
    bool streaming = false;
    std::deque<Command> commands;
    std::string input;
    int sent = 0;
    spa_source* retry = nullptr;
};

const struct {
    const char* name;
    spa_video_format id;
} Formats[] = {{"BGRx", SPA_VIDEO_FORMAT_BGRx}, {"RGBx", SPA_VIDEO_FORMAT_RGBx},
               {"BGRA", SPA_VIDEO_FORMAT_BGRA}, {"RGBA", SPA_VIDEO_FORMAT_RGBA},
               {"xBGR", SPA_VIDEO_FORMAT_xBGR}, {"xRGB", SPA_VIDEO_FORMAT_xRGB}};

constexpr int CursorMetaSize(int side)
{
    return static_cast<int>(sizeof(spa_meta_cursor) + sizeof(spa_meta_bitmap)) + side * side * 4;
}

// The cursor metadata as the compositors offer it: GNOME Shell 43 one size
// only, room for a 384 x 384 bitmap (the default here); KWin 5.27 a range, up
// to 1024 x 1024 (SCREENCAST_CURSOR_META=kde); none at all with
// SCREENCAST_CURSOR_META=none.
const spa_pod* CursorMeta(spa_pod_builder& builder)
{
    const char* kind = std::getenv("SCREENCAST_CURSOR_META");
    const bool kde = kind != nullptr && std::strcmp(kind, "kde") == 0;
    if (kind != nullptr && std::strcmp(kind, "none") == 0)
        return nullptr; // images only, as from a compositor that sends no pointer
    if (kde)
        return static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
            SPA_POD_Id(SPA_META_Cursor), SPA_PARAM_META_size,
            SPA_POD_CHOICE_RANGE_Int(CursorMetaSize(64), CursorMetaSize(1), CursorMetaSize(1024))));
    return static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
        SPA_POD_Id(SPA_META_Cursor), SPA_PARAM_META_size, SPA_POD_Int(CursorMetaSize(384))));
}

void fill(const Source& s, std::uint8_t* row0, int stride, bool other)
{
    for (int y = 0; y < s.height; ++y) {
        std::uint8_t* p = row0 + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < s.width; ++x, p += 4) {
            PatternRgb c = PatternAt(x, y, s.number);
            if (other)
                c = {static_cast<std::uint8_t>(~c.r), static_cast<std::uint8_t>(~c.g),
                     static_cast<std::uint8_t>(~c.b)};
            for (int i = 0; i < 4; ++i) {
                switch (s.format[i]) {
                case 'R':
                    p[i] = c.r;
                    break;
                case 'G':
                    p[i] = c.g;
                    break;
                case 'B':
                    p[i] = c.b;
                    break;
                default:
                    p[i] = 0xFF;
                    break; // x or A: opaque
                }
            }
        }
    }
}

void onAddBuffer(void* data, pw_buffer* buffer)
{
    const auto& s = *static_cast<Source*>(data);
    spa_data& d = buffer->buffer->datas[0];
    const auto size = static_cast<std::size_t>(s.width) * 4 * static_cast<std::size_t>(s.height);
    const int fd = memfd_create("huvella-test-monitor", MFD_CLOEXEC);
    void* memory = MAP_FAILED;
    if (fd >= 0 && ftruncate(fd, static_cast<off_t>(size)) == 0)
        memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        std::fprintf(stderr, "screencast-source: no memory for a buffer\n");
        std::exit(1);
    }
    d.type = SPA_DATA_MemFd;
    d.flags = SPA_DATA_FLAG_READWRITE;
    d.fd = fd;
    d.mapoffset = 0;
    d.maxsize = static_cast<uint32_t>(size);
    d.data = memory;
}

void onRemoveBuffer(void*, pw_buffer* buffer)
{
    spa_data& d = buffer->buffer->datas[0];
    if (d.data != nullptr)
        munmap(d.data, d.maxsize);
    if (d.fd >= 0)
        close(static_cast<int>(d.fd));
    d.data = nullptr;
    d.fd = -1;
}

void onProcess(void* data)
{
    auto& s = *static_cast<Source*>(data);
    if (s.commands.empty() || !s.streaming)
        return;
    pw_buffer* b = pw_stream_dequeue_buffer(s.stream);
    if (b == nullptr) {
        // Every buffer is still on its way back from the consumer: soon again.
        timespec soon{0, 5'000'000};
        pw_loop_update_timer(pw_main_loop_get_loop(s.loop), s.retry, &soon, nullptr, false);
        return;
    }
    const Command c = s.commands.front();
    s.commands.pop_front();
    spa_buffer* buf = b->buffer;
    spa_data& d = buf->datas[0];
    const int stride = s.width * 4;
    d.chunk->offset = 0;
    d.chunk->stride = stride;
    d.chunk->flags = SPA_CHUNK_FLAG_NONE;
    const bool other = c.what == "corrupt" || c.what == "garbled";
    const bool image = c.what == "frame" || other;
    if (image && d.data != nullptr) {
        fill(s, static_cast<std::uint8_t*>(d.data), stride, other);
        d.chunk->size = static_cast<uint32_t>(stride * s.height);
        if (c.what == "corrupt")
            d.chunk->flags = SPA_CHUNK_FLAG_CORRUPTED;
        if (c.what == "garbled") {
            // Every other buffer's rows too short, the others' past the end.
            if (s.sent % 2 == 0)
                d.chunk->stride = stride - 4;
            else
                d.chunk->offset = 4;
        }
    } else {
        d.chunk->size = 0;
    }
    if (auto* h = static_cast<spa_meta_header*>(
            spa_buffer_find_meta_data(buf, SPA_META_Header, sizeof(spa_meta_header)))) {
        h->flags = 0;
        h->seq = static_cast<uint64_t>(s.sent);
        h->pts = -1;
    }
    if (auto* m = static_cast<spa_meta_cursor*>(
            spa_buffer_find_meta_data(buf, SPA_META_Cursor, sizeof(spa_meta_cursor)))) {
        m->id = c.what == "off" ? 0 : 1;
        m->flags = 0;
        m->position = {c.x, c.y};
        m->hotspot = {0, 0};
        m->bitmap_offset = 0;
    }
    pw_stream_queue_buffer(s.stream, b);
    std::printf("sent %d\n", ++s.sent);
    std::fflush(stdout);
    if (s.streaming && !s.commands.empty())
        pw_stream_trigger_process(s.stream);
}

void onParamChanged(void* data, uint32_t id, const spa_pod* param)
{
    auto& s = *static_cast<Source*>(data);
    if (id != SPA_PARAM_Format || param == nullptr)
        return;
    std::uint8_t storage[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(storage, sizeof storage);
    const spa_pod* params[3];
    params[0] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_buffers,
        SPA_POD_CHOICE_RANGE_Int(4, 2, 8), SPA_PARAM_BUFFERS_blocks, SPA_POD_Int(1),
        SPA_PARAM_BUFFERS_size, SPA_POD_Int(s.width * 4 * s.height), SPA_PARAM_BUFFERS_stride,
        SPA_POD_Int(s.width * 4), SPA_PARAM_BUFFERS_dataType,
        SPA_POD_CHOICE_FLAGS_Int(1 << SPA_DATA_MemFd)));
    params[1] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
        SPA_POD_Id(SPA_META_Header), SPA_PARAM_META_size,
        SPA_POD_Int(static_cast<int>(sizeof(spa_meta_header)))));
    params[2] = CursorMeta(builder);
    pw_stream_update_params(s.stream, params, params[2] != nullptr ? 3 : 2);
}

void onStateChanged(void* data, pw_stream_state, pw_stream_state state, const char* error)
{
    auto& s = *static_cast<Source*>(data);
    if (state == PW_STREAM_STATE_ERROR) {
        std::fprintf(stderr, "screencast-source: %s\n", error ? error : "error");
        pw_main_loop_quit(s.loop);
    }
    if (!s.announced && state == PW_STREAM_STATE_PAUSED) {
        s.announced = true;
        std::printf("node %u\n", pw_stream_get_node_id(s.stream));
        std::fflush(stdout);
    }
    // Buffers go out only while linked: one sent before would be lost.
    s.streaming = state == PW_STREAM_STATE_STREAMING;
    if (s.streaming && !s.commands.empty())
        pw_stream_trigger_process(s.stream);
}

void onInput(void* data, int fd, uint32_t)
{
    auto& s = *static_cast<Source*>(data);
    char chunk[256];
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n <= 0) {
        pw_main_loop_quit(s.loop);
        return;
    }
    s.input.append(chunk, static_cast<std::size_t>(n));
    std::size_t end;
    while ((end = s.input.find('\n')) != std::string::npos) {
        const std::string line = s.input.substr(0, end);
        s.input.erase(0, end + 1);
        char what[16] = {};
        Command c;
        if (std::sscanf(line.c_str(), "%15s %d %d", what, &c.x, &c.y) < 1)
            continue;
        c.what = what;
        if (c.what == "quit") {
            pw_main_loop_quit(s.loop);
            return;
        }
        s.commands.push_back(c);
    }
    if (s.streaming && !s.commands.empty())
        pw_stream_trigger_process(s.stream);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: screencast-source FORMAT WIDTH HEIGHT SOURCE-NUMBER\n");
        return 2;
    }
    Source s;
    s.format = argv[1];
    for (const auto& f : Formats)
        if (s.format == f.name)
            s.id = f.id;
    s.width = std::atoi(argv[2]);
    s.height = std::atoi(argv[3]);
    s.number = std::atoi(argv[4]);
    if (s.id == SPA_VIDEO_FORMAT_UNKNOWN || s.width <= 0 || s.height <= 0)
        return 2;

    pw_init(&argc, &argv);
    s.loop = pw_main_loop_new(nullptr);
    pw_loop* loop = pw_main_loop_get_loop(s.loop);
    s.stream = pw_stream_new_simple(
        loop, "huvella-test-monitor",
        pw_properties_new(PW_KEY_MEDIA_CLASS, "Video/Source", PW_KEY_MEDIA_TYPE, "Video",
                          PW_KEY_MEDIA_CATEGORY, "Source", PW_KEY_MEDIA_ROLE, "Screen", nullptr),
        [] {
            static pw_stream_events e{};
            e.version = PW_VERSION_STREAM_EVENTS;
            e.state_changed = onStateChanged;
            e.param_changed = onParamChanged;
            e.process = onProcess;
            e.add_buffer = onAddBuffer;
            e.remove_buffer = onRemoveBuffer;
            return &e;
        }(),
        &s);
    s.retry = pw_loop_add_timer(
        loop,
        [](void* data, uint64_t) { pw_stream_trigger_process(static_cast<Source*>(data)->stream); },
        &s);
    pw_loop_add_io(loop, STDIN_FILENO, SPA_IO_IN | SPA_IO_HUP, false, onInput, &s);

    std::uint8_t storage[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(storage, sizeof storage);
    const spa_rectangle size{static_cast<uint32_t>(s.width), static_cast<uint32_t>(s.height)};
    const spa_fraction variable{0, 1}, fastest{60, 1}, slowest{1, 1};
    const spa_pod* params[] = {static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType,
        SPA_POD_Id(SPA_MEDIA_TYPE_video), SPA_FORMAT_mediaSubtype,
        SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format, SPA_POD_Id(s.id),
        SPA_FORMAT_VIDEO_size, SPA_POD_Rectangle(&size), SPA_FORMAT_VIDEO_framerate,
        SPA_POD_Fraction(&variable), SPA_FORMAT_VIDEO_maxFramerate,
        SPA_POD_CHOICE_RANGE_Fraction(&fastest, &slowest, &fastest)))};
    pw_stream_connect(
        s.stream, PW_DIRECTION_OUTPUT, PW_ID_ANY,
        static_cast<pw_stream_flags>(PW_STREAM_FLAG_DRIVER | PW_STREAM_FLAG_ALLOC_BUFFERS), params,
        1);
    pw_main_loop_run(s.loop);
    pw_stream_destroy(s.stream);
    pw_main_loop_destroy(s.loop);
    pw_deinit();
    return 0;
}
