// Video capture through FFmpeg's libraries, in process.
//
// Implements: H.264 (libx264, yuv420p, BT.601 limited range) with AAC in MP4 by default; FFV1
// with RGB pixels (bgr0) and FLAC in Matroska when lossless; 16-bit PCM in WAV for the soundtrack
// alone. The container follows the target's file name when FFmpeg knows it (and can hold the
// codecs). Frames are enlarged with nearest-neighbour pixels; frame k of the video is the k-th
// captured flip, shown from k / fps. The sound is the music resource decoded as the live show
// decodes it, from the sample under the clock of the first captured flip to the sample where the
// last captured frame ends (silence past the music's end). Files are written under a temporary
// name beside the target and renamed when complete; on failure, and on SIGINT, SIGTERM or SIGHUP,
// they are removed. The renderer converts each frame and queues it; a thread of its own encodes
// and writes, in order, so that rendering and encoding overlap.
// Leaves out: frame sizes other than the display's 320x240, variable frame rates.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "hosts/common/frame.h"
#include "programs/render/capture/capture.h"
#include "programs/render/capture/progress.h"
#include "runtime/show.h"
#include "winapi/bass/decoder.h"
#include "winapi/kernel32/resources.h"

namespace capture {
namespace {

constexpr int kWidth = show::kFrameWidth;
constexpr int kHeight = show::kFrameHeight;
constexpr int kSampleRate = 44100;
constexpr int kBytesPerSample = 4;  // 16-bit stereo
constexpr int kAacBitRate = 192000;
constexpr int kMaxScale = 8;
constexpr int64_t kBytesPerUnit = show::kBytesPerUnit;

std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// --- Temporary files, removed when the process is interrupted. ---

constexpr int kMaxTemporaries = 2;
char temporaries[kMaxTemporaries][4096];

void RemoveTemporariesAndDie(int signal) {
    for (char* path : temporaries) {
        if (path[0] != '\0') unlink(path);
    }
    ::signal(signal, SIG_DFL);
    raise(signal);
}

void WatchTemporary(int slot, const std::string& path) {
    if (path.size() >= sizeof temporaries[slot]) return;
    std::memcpy(temporaries[slot], path.c_str(), path.size() + 1);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::signal(signal, RemoveTemporariesAndDie);
}

void ForgetTemporary(int slot) {
    temporaries[slot][0] = '\0';
}

// "dir/.name.partial-PID" for "dir/name".
std::string TemporaryBeside(const std::string& target) {
    std::filesystem::path path(target);
    // Appended piece by piece: "." + a temporary string draws a bogus -Wrestrict from GCC 12 at
    // -O3 (GCC bug 105651).
    std::string name = ".";
    name += path.filename().string();
    name += ".partial-";
    name += std::to_string(getpid());
    return (path.parent_path() / name).string();
}

// --- Pixels. ---

// What every 5-6-5 pixel becomes: 8-bit channels widened as the PNG pictures widen them, and
// the Y, Cb, Cr that swscale gives for those (BT.601, limited range).
struct PixelTables {
    std::vector<uint32_t> bgr0;  // little-endian bytes B, G, R, 0
    std::vector<uint8_t> y, cb, cr;
};

bool MakePixelTables(PixelTables* tables, std::string* error) {
    constexpr int kSide = 256;  // 65536 pixels as one 256x256 picture
    std::vector<uint8_t> rgb(kSide * kSide * 3);
    tables->bgr0.resize(kSide * kSide);
    for (uint32_t pixel = 0; pixel < kSide * kSide; ++pixel) {
        uint8_t r = hosts::WidenChannel(pixel >> 11, 5);
        uint8_t g = hosts::WidenChannel((pixel >> 5) & 0x3F, 6);
        uint8_t b = hosts::WidenChannel(pixel & 0x1F, 5);
        rgb[pixel * 3 + 0] = r;
        rgb[pixel * 3 + 1] = g;
        rgb[pixel * 3 + 2] = b;
        tables->bgr0[pixel] = (uint32_t)r << 16 | (uint32_t)g << 8 | b;
    }
    for (auto* plane : {&tables->y, &tables->cb, &tables->cr}) plane->resize(kSide * kSide);
    SwsContext* sws = sws_getContext(
        kSide, kSide, AV_PIX_FMT_RGB24, kSide, kSide, AV_PIX_FMT_YUV444P,
        SWS_POINT | SWS_ACCURATE_RND | SWS_BITEXACT | SWS_FULL_CHR_H_INP | SWS_FULL_CHR_H_INT,
        nullptr, nullptr, nullptr);
    if (sws == nullptr) {
        *error = "swscale can't convert RGB to YUV";
        return false;
    }
    const uint8_t* source[1] = {rgb.data()};
    int sourceStride[1] = {kSide * 3};
    uint8_t* target[3] = {tables->y.data(), tables->cb.data(), tables->cr.data()};
    int targetStride[3] = {kSide, kSide, kSide};
    sws_scale(sws, source, sourceStride, 0, kSide, target, targetStride);
    sws_freeContext(sws);
    return true;
}

uint16_t PixelAt(const uint16_t* pixels, int pitch, int x, int y) {
    uint16_t pixel;
    std::memcpy(&pixel, reinterpret_cast<const uint8_t*>(pixels) + (size_t)y * pitch + x * 2, 2);
    return pixel;
}

// Enlarges the frame `scale` times into packed bgr0 rows.
void FillBgr0(const PixelTables& tables, const uint16_t* pixels, int pitch, int scale,
              AVFrame* frame) {
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* first = frame->data[0] + (size_t)y * scale * frame->linesize[0];
        uint32_t* row = reinterpret_cast<uint32_t*>(first);
        for (int x = 0; x < kWidth; ++x) {
            uint32_t value = tables.bgr0[PixelAt(pixels, pitch, x, y)];
            for (int i = 0; i < scale; ++i) row[x * scale + i] = value;
        }
        for (int copy = 1; copy < scale; ++copy) {
            std::memcpy(first + (size_t)copy * frame->linesize[0], first,
                        (size_t)kWidth * scale * 4);
        }
    }
}

// Enlarges the frame `scale` times into 4:2:0 YUV. Each chroma sample is the rounded mean of the
// four enlarged pixels it covers, which for an even scale is the chroma of one source pixel.
void FillYuv420(const PixelTables& tables, const uint16_t* pixels, int pitch, int scale,
                AVFrame* frame) {
    int width = kWidth * scale, height = kHeight * scale;
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* first = frame->data[0] + (size_t)y * scale * frame->linesize[0];
        for (int x = 0; x < kWidth; ++x) {
            std::memset(first + x * scale, tables.y[PixelAt(pixels, pitch, x, y)], scale);
        }
        for (int copy = 1; copy < scale; ++copy) {
            std::memcpy(first + (size_t)copy * frame->linesize[0], first, width);
        }
    }
    int chromaWidth = (width + 1) / 2, chromaHeight = (height + 1) / 2;
    std::vector<int> left(chromaWidth), right(chromaWidth);
    for (int cx = 0; cx < chromaWidth; ++cx) {
        left[cx] = 2 * cx / scale;
        right[cx] = std::min(2 * cx + 1, width - 1) / scale;
    }
    int doneTop = -1, doneBottom = -1;
    for (int cy = 0; cy < chromaHeight; ++cy) {
        int top = 2 * cy / scale, bottom = std::min(2 * cy + 1, height - 1) / scale;
        uint8_t* cbRow = frame->data[1] + (size_t)cy * frame->linesize[1];
        uint8_t* crRow = frame->data[2] + (size_t)cy * frame->linesize[2];
        if (top == doneTop && bottom == doneBottom) {
            std::memcpy(cbRow, cbRow - frame->linesize[1], chromaWidth);
            std::memcpy(crRow, crRow - frame->linesize[2], chromaWidth);
            continue;
        }
        doneTop = top;
        doneBottom = bottom;
        for (int cx = 0; cx < chromaWidth; ++cx) {
            uint16_t a = PixelAt(pixels, pitch, left[cx], top);
            uint16_t b = PixelAt(pixels, pitch, right[cx], top);
            uint16_t c = PixelAt(pixels, pitch, left[cx], bottom);
            uint16_t d = PixelAt(pixels, pitch, right[cx], bottom);
            cbRow[cx] =
                (uint8_t)((tables.cb[a] + tables.cb[b] + tables.cb[c] + tables.cb[d] + 2) >> 2);
            crRow[cx] =
                (uint8_t)((tables.cr[a] + tables.cr[b] + tables.cr[c] + tables.cr[d] + 2) >> 2);
        }
    }
}

// --- One output file: a muxer with its encoders, written under a temporary name. ---

struct Encoder {
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    SwrContext* resampler = nullptr;  // audio: 16-bit stereo in, the encoder's format out
    int64_t nextPts = 0;
};

void FreeEncoder(Encoder* encoder) {
    avcodec_free_context(&encoder->codec);
    av_frame_free(&encoder->frame);
    swr_free(&encoder->resampler);
}

class OutputFile {
  public:
    OutputFile(int slot, std::string target) : slot_(slot), target_(std::move(target)) {}
    ~OutputFile() { Discard(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Sets up the muxer: `format` names FFmpeg's muxer, or null to take it from the target's
    // name with `fallback` when the name says nothing.
    bool Create(const char* format, const char* fallback, std::string* error);
    bool AddVideo(const char* encoderName, const std::string& label, int scale, int fps,
                  const std::string& preset, int crf, std::string* error);
    bool AddAudio(const char* encoderName, const std::string& label, std::string* error);
    // Opens the temporary file and writes the header.
    bool Open(std::string* error);

    bool SendVideo(AVFrame* frame) { return Send(&video_, frame); }
    // Encodes `count` 16-bit stereo samples; the last call may give fewer than a full frame.
    bool SendAudio(const uint8_t* samples, int count);
    // The audio encoder's frame length in samples.
    int AudioFrameSamples() const { return audio_.frame->nb_samples; }
    // A picture for the video encoder, or null when out of memory.
    AVFrame* NewVideoFrame() const;

    // Drains the encoders, writes the trailer and closes the temporary file.
    bool Complete(std::string* error);
    // Gives the completed file its target's name.
    bool Commit(std::string* error);
    // Removes the temporary file, if any.
    void Discard();

    const std::string& Target() const { return target_; }
    const std::string& Failure() const { return failure_; }

  private:
    // Finds the encoder, checks that the container can hold what it makes, and adds its stream.
    bool NewEncoder(const char* name, const std::string& label, Encoder* encoder,
                    std::string* error);
    bool Send(Encoder* encoder, AVFrame* frame);
    bool Fail(const std::string& what, int code);

    int slot_;
    std::string target_;
    std::string temporary_;
    AVFormatContext* muxer_ = nullptr;
    Encoder video_, audio_;
    std::string failure_;
};

bool OutputFile::Fail(const std::string& what, int code) {
    if (failure_.empty()) {
        failure_ = "writing " + target_ + " failed (" + what + ": " + AvError(code) + ")";
    }
    return false;
}

bool OutputFile::Create(const char* format, const char* fallback, std::string* error) {
    std::error_code failure;
    if (std::filesystem::is_directory(target_, failure)) {
        *error = "can't write " + target_ + ": it is a folder";
        return false;
    }
    const AVOutputFormat* muxer =
        av_guess_format(format, format != nullptr ? nullptr : target_.c_str(), nullptr);
    if (muxer == nullptr) muxer = av_guess_format(fallback, nullptr, nullptr);
    if (muxer == nullptr) {
        *error =
            "this FFmpeg has no " + std::string(format != nullptr ? format : fallback) + " muxer";
        return false;
    }
    int code = avformat_alloc_output_context2(&muxer_, muxer, nullptr, nullptr);
    if (code < 0) {
        *error = "can't set up " + target_ + ": " + AvError(code);
        return false;
    }
    return true;
}

bool OutputFile::NewEncoder(const char* name, const std::string& label, Encoder* encoder,
                            std::string* error) {
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (codec == nullptr) {
        *error = "this FFmpeg has no " + label + " encoder (" + name + ")";
        return false;
    }
    // 1: it fits; 0: refused; negative: the muxer doesn't say (writing the header will).
    if (avformat_query_codec(muxer_->oformat, codec->id, FF_COMPLIANCE_NORMAL) == 0) {
        *error = "can't write " + target_ + ": a " + muxer_->oformat->long_name +
                 " file can't hold " + label;
        return false;
    }
    encoder->stream = avformat_new_stream(muxer_, nullptr);
    encoder->codec = avcodec_alloc_context3(codec);
    encoder->frame = av_frame_alloc();
    if (encoder->stream == nullptr || encoder->codec == nullptr || encoder->frame == nullptr) {
        *error = "out of memory";
        return false;
    }
    if (muxer_->oformat->flags & AVFMT_GLOBALHEADER) {
        encoder->codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    return true;
}

bool OutputFile::AddVideo(const char* encoderName, const std::string& label, int scale, int fps,
                          const std::string& preset, int crf, std::string* error) {
    if (!NewEncoder(encoderName, label, &video_, error)) return false;
    AVCodecContext* context = video_.codec;
    const AVCodec* codec = context->codec;
    context->width = kWidth * scale;
    context->height = kHeight * scale;
    context->time_base = AVRational{1, fps};
    context->framerate = AVRational{fps, 1};
    context->sample_aspect_ratio = AVRational{1, 1};
    context->thread_count = 0;  // as many as the encoder finds useful
    if (codec->id == AV_CODEC_ID_FFV1) {
        context->pix_fmt = AV_PIX_FMT_0RGB32;
        context->level = 3;  // slices, coded in parallel
    } else {
        context->pix_fmt = AV_PIX_FMT_YUV420P;
        context->colorspace = AVCOL_SPC_SMPTE170M;
        context->color_primaries = AVCOL_PRI_SMPTE170M;
        context->color_trc = AVCOL_TRC_SMPTE170M;
        context->color_range = AVCOL_RANGE_MPEG;
        av_opt_set(context->priv_data, "preset", preset.c_str(), 0);
        av_opt_set_double(context->priv_data, "crf", crf, 0);
    }
    int code = avcodec_open2(context, codec, nullptr);
    if (code < 0) {
        *error = "can't start the " + label + " encoder (" + encoderName + ")";
        if (codec->id != AV_CODEC_ID_FFV1) *error += " with --preset " + preset;
        *error += ": " + AvError(code);
        return false;
    }
    video_.stream->time_base = context->time_base;
    video_.stream->avg_frame_rate = context->framerate;
    avcodec_parameters_from_context(video_.stream->codecpar, context);
    return true;
}

AVFrame* OutputFile::NewVideoFrame() const {
    AVFrame* frame = av_frame_alloc();
    if (frame == nullptr) return nullptr;
    frame->format = video_.codec->pix_fmt;
    frame->width = video_.codec->width;
    frame->height = video_.codec->height;
    if (av_frame_get_buffer(frame, 0) < 0) av_frame_free(&frame);
    return frame;
}

bool OutputFile::AddAudio(const char* encoderName, const std::string& label, std::string* error) {
    if (!NewEncoder(encoderName, label, &audio_, error)) return false;
    AVCodecContext* context = audio_.codec;
    const AVCodec* codec = context->codec;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    context->sample_rate = kSampleRate;
    av_channel_layout_copy(&context->ch_layout, &stereo);
    context->sample_fmt = codec->sample_fmts != nullptr ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    context->time_base = AVRational{1, kSampleRate};
    if (codec->id == AV_CODEC_ID_AAC) context->bit_rate = kAacBitRate;
    int code = avcodec_open2(context, codec, nullptr);
    if (code < 0) {
        *error = "can't start the " + label + " encoder (" + encoderName + "): " + AvError(code);
        return false;
    }
    audio_.stream->time_base = context->time_base;
    avcodec_parameters_from_context(audio_.stream->codecpar, context);
    audio_.frame->format = context->sample_fmt;
    audio_.frame->sample_rate = kSampleRate;
    audio_.frame->nb_samples = context->frame_size > 0 ? context->frame_size : 4096;
    av_channel_layout_copy(&audio_.frame->ch_layout, &stereo);
    code = av_frame_get_buffer(audio_.frame, 0);
    if (code >= 0) {
        code = swr_alloc_set_opts2(&audio_.resampler, &stereo, context->sample_fmt, kSampleRate,
                                   &stereo, AV_SAMPLE_FMT_S16, kSampleRate, 0, nullptr);
    }
    if (code >= 0) code = swr_init(audio_.resampler);
    if (code < 0) {
        *error = "can't set up the " + label + " samples: " + AvError(code);
        return false;
    }
    return true;
}

bool OutputFile::Open(std::string* error) {
    temporary_ = TemporaryBeside(target_);
    WatchTemporary(slot_, temporary_);
    int code = avio_open(&muxer_->pb, temporary_.c_str(), AVIO_FLAG_WRITE);
    if (code < 0) {
        ForgetTemporary(slot_);
        temporary_.clear();
        *error = "can't write " + target_ + ": " + AvError(code);
        return false;
    }
    // The MP4 muxer reads the file back by its name to move its index to the front.
    av_freep(&muxer_->url);
    muxer_->url = av_strdup(temporary_.c_str());
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "+faststart", 0);
    code = avformat_write_header(muxer_, &options);
    av_dict_free(&options);
    if (code < 0) {
        *error = "can't write " + target_ + ": " + AvError(code);
        Discard();
        return false;
    }
    return true;
}

bool OutputFile::Send(Encoder* encoder, AVFrame* frame) {
    if (!failure_.empty()) return false;
    if (frame != nullptr) {
        frame->pts = encoder->nextPts;
        encoder->nextPts +=
            encoder->codec->codec_type == AVMEDIA_TYPE_AUDIO ? frame->nb_samples : 1;
    }
    int code = avcodec_send_frame(encoder->codec, frame);
    if (code < 0) return Fail("encoding", code);
    AVPacket* packet = av_packet_alloc();
    if (packet == nullptr) return Fail("encoding", AVERROR(ENOMEM));
    while ((code = avcodec_receive_packet(encoder->codec, packet)) >= 0) {
        av_packet_rescale_ts(packet, encoder->codec->time_base, encoder->stream->time_base);
        packet->stream_index = encoder->stream->index;
        code = av_interleaved_write_frame(muxer_, packet);
        if (code < 0) break;
    }
    av_packet_free(&packet);
    if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return true;
    return Fail(code < 0 && muxer_->pb->error < 0 ? "writing" : "encoding", code);
}

bool OutputFile::SendAudio(const uint8_t* samples, int count) {
    AVFrame* frame = audio_.frame;
    int code = av_frame_make_writable(frame);
    if (code < 0) return Fail("encoding", code);
    frame->nb_samples = count;
    code = swr_convert(audio_.resampler, frame->data, count, &samples, count);
    if (code != count) return Fail("converting the sound", code < 0 ? code : AVERROR_BUG);
    return Send(&audio_, frame);
}

bool OutputFile::Complete(std::string* error) {
    if (video_.codec != nullptr) Send(&video_, nullptr);
    if (audio_.codec != nullptr) Send(&audio_, nullptr);
    if (failure_.empty()) {
        int code = av_write_trailer(muxer_);
        if (code < 0) Fail("finishing", code);
    }
    if (failure_.empty()) {
        int code = avio_closep(&muxer_->pb);
        if (code < 0) Fail("closing", code);
    }
    if (failure_.empty()) return true;
    *error = failure_;
    Discard();
    return false;
}

bool OutputFile::Commit(std::string* error) {
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        *error = "can't write " + target_ + ": " + std::strerror(errno);
        Discard();
        return false;
    }
    ForgetTemporary(slot_);
    temporary_.clear();
    Discard();
    return true;
}

void OutputFile::Discard() {
    if (muxer_ != nullptr) {
        if (muxer_->pb != nullptr) avio_closep(&muxer_->pb);
        avformat_free_context(muxer_);
        muxer_ = nullptr;
    }
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        ForgetTemporary(slot_);
        temporary_.clear();
    }
    FreeEncoder(&video_);
    FreeEncoder(&audio_);
}

// --- The capture of one show. ---

// Frames converted by the renderer wait in a ring of this many slots for the encoding thread, so
// that the show renders on while the encoders work and waits only when they are that far behind.
constexpr int kQueuedFrames = 6;

struct Capture {
    ~Capture() { StopEncoding(); }

    // Ends the encoding thread once it has sent every queued frame.
    void StopEncoding() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            ending = true;
        }
        changed.notify_all();
        if (encoding.joinable()) encoding.join();
    }

    Settings settings;
    int fps = 60;
    int scale = 1;
    bool begun = false;
    PixelTables tables;
    std::vector<uint8_t> music;  // the decoded music, 16-bit stereo
    std::unique_ptr<OutputFile> video;
    std::unique_ptr<OutputFile> wav;
    int64_t firstFlip = -1;    // set by the renderer before the first frame is queued
    int64_t expected = 0;      // frames the progress line counts on
    int64_t shown = 0;         // frames queued by the renderer
    int64_t frames = 0;        // frames sent to the encoders (by the encoding thread)
    int64_t videoSamples = 0;  // samples sent to each file
    int64_t wavSamples = 0;
    std::vector<uint8_t> chunk;
    Progress progress;  // drawn by the encoding thread while it runs
    std::chrono::steady_clock::time_point started;

    // The ring: slots[head] up to `queued` slots on are the encoding thread's; the next free one
    // is the renderer's. Without video the slots hold no pictures and only count the frames.
    std::vector<AVFrame*> slots;
    int head = 0;
    int queued = 0;
    bool ending = false;
    bool failed = false;
    std::string failure;
    std::mutex mutex;  // guards head, queued, ending, failed and failure
    std::condition_variable changed;
    std::thread encoding;
};

Capture& State() {
    static Capture capture;
    return capture;
}

// The first sample of the music under the clock of flip `flip`: the headless clock stands at
// floor(flip * 176400 / fps) bytes then.
int64_t SampleOfFlip(int64_t flip, int fps) {
    return flip * kSampleRate / fps;
}

// Flips shown before script time `t`: those whose clock is below t * 17400 bytes.
int64_t FlipsBefore(int64_t t, int fps) {
    int64_t bytesPerSecond = (int64_t)kSampleRate * kBytesPerSample;
    return (t * kBytesPerUnit * fps + bytesPerSecond - 1) / bytesPerSecond;
}

// Sends the music to `file` up to `upTo` samples from the clip's start: whole encoder frames, and
// with `last` the rest as a shorter frame.
bool FeedAudio(Capture& capture, OutputFile* file, int64_t* sent, int64_t upTo, bool last) {
    if (file == nullptr) return true;
    int64_t base = SampleOfFlip(capture.firstFlip, capture.fps);
    int size = file->AudioFrameSamples();
    while (*sent < upTo) {
        int count = (int)std::min<int64_t>(size, upTo - *sent);
        if (count < size && !last) break;
        capture.chunk.assign((size_t)count * kBytesPerSample, 0);
        int64_t from = (base + *sent) * kBytesPerSample;
        int64_t available = (int64_t)capture.music.size() - from;
        if (available > 0) {
            std::memcpy(capture.chunk.data(), capture.music.data() + from,
                        (size_t)std::min<int64_t>(available, (int64_t)capture.chunk.size()));
        }
        if (!file->SendAudio(capture.chunk.data(), count)) return false;
        *sent += count;
    }
    return true;
}

bool FeedAllAudio(Capture& capture, bool last) {
    int64_t upTo = SampleOfFlip(capture.firstFlip + capture.frames, capture.fps) -
                   SampleOfFlip(capture.firstFlip, capture.fps);
    return FeedAudio(capture, capture.video.get(), &capture.videoSamples, upTo, last) &&
           FeedAudio(capture, capture.wav.get(), &capture.wavSamples, upTo, last);
}

void FailCapture(Capture& capture, const std::string& reason) {
    {
        std::lock_guard<std::mutex> lock(capture.mutex);
        if (capture.failed) return;
        capture.failed = true;
        capture.failure = reason;
    }
    capture.changed.notify_all();
}

std::string FileFailure(const Capture& capture) {
    for (const OutputFile* file : {capture.video.get(), capture.wav.get()}) {
        if (file != nullptr && !file->Failure().empty()) return file->Failure();
    }
    return "capture failed";
}

// libx264's speed presets; it reports an unknown one on stderr by itself.
constexpr const char* kPresets[] = {"ultrafast", "superfast", "veryfast", "faster",   "fast",
                                    "medium",    "slow",      "slower",   "veryslow", "placebo"};

bool CheckSettings(const Settings& settings, std::string* error) {
    bool knownPreset = false;
    for (const char* preset : kPresets) knownPreset = knownPreset || settings.preset == preset;
    if (!knownPreset) {
        *error = "--preset " + settings.preset + " is not one of libx264's presets (";
        for (const char* preset : kPresets)
            *error += (preset == kPresets[0] ? "" : ", ") + std::string(preset);
        *error += ")";
    } else if (settings.scale < 0 || settings.scale > kMaxScale) {
        *error = "--scale needs a whole number from 1 to " + std::to_string(kMaxScale);
    } else if (settings.crf < 0 || settings.crf > 51) {
        *error = "--crf needs a whole number from 0 to 51";
    } else if (settings.to >= 0 && settings.to <= settings.from) {
        *error = "--to must come after --from";
    } else if (settings.videoPath.empty() && settings.wavPath.empty()) {
        *error = "nothing to capture: give --video or --wav";
    } else if (!settings.videoPath.empty() && settings.videoPath == settings.wavPath) {
        *error = "--video and --wav name the same file";
    } else {
        return true;
    }
    return false;
}

bool OpenOutputs(Capture& capture, std::string* error) {
    const Settings& settings = capture.settings;
    if (!settings.videoPath.empty()) {
        capture.video = std::make_unique<OutputFile>(0, settings.videoPath);
        OutputFile& video = *capture.video;
        bool ok = settings.lossless
                      ? video.Create(nullptr, "matroska", error) &&
                            video.AddVideo("ffv1", "FFV1 video", capture.scale, capture.fps,
                                           settings.preset, settings.crf, error) &&
                            video.AddAudio("flac", "FLAC sound", error)
                      : video.Create(nullptr, "mp4", error) &&
                            video.AddVideo("libx264", "H.264 video", capture.scale, capture.fps,
                                           settings.preset, settings.crf, error) &&
                            video.AddAudio("aac", "AAC sound", error);
        if (!ok) return false;
    }
    if (!settings.wavPath.empty()) {
        capture.wav = std::make_unique<OutputFile>(1, settings.wavPath);
        if (!capture.wav->Create("wav", "wav", error) ||
            !capture.wav->AddAudio("pcm_s16le", "16-bit PCM sound", error)) {
            return false;
        }
    }
    for (OutputFile* file : {capture.video.get(), capture.wav.get()}) {
        if (file != nullptr && !file->Open(error)) return false;
    }
    return true;
}

bool DecodeMusic(Capture& capture, std::string* error) {
    uint32_t size = 0;
    const uint8_t* bytes = winapi::FindResourceBytes("MP3FILE", show::kMusicResource, &size);
    if (bytes == nullptr) {
        *error = "the program carries no music (resource MP3FILE " +
                 std::to_string(show::kMusicResource) + ")";
        return false;
    }
    if (audio::DecodeMpegAudio(std::span<const uint8_t>(bytes, size), &capture.music) !=
        audio::DecodeStatus::kOk) {
        *error = "can't decode the music (resource MP3FILE " +
                 std::to_string(show::kMusicResource) + ")";
        return false;
    }
    return true;
}

// The encoding thread: sends each queued frame to the encoders, with the sound up to its end, in
// the order the renderer queued them, until the capture ends or a file fails.
void EncodeQueued(Capture& capture) {
    for (;;) {
        AVFrame* frame;
        {
            std::unique_lock<std::mutex> lock(capture.mutex);
            capture.changed.wait(lock, [&] { return capture.queued > 0 || capture.ending; });
            if (capture.queued == 0) return;
            frame = capture.slots[capture.head];
        }
        if (capture.frames == 0) capture.progress.Start(stderr, capture.expected);  // speeds
        if (frame != nullptr && !capture.video->SendVideo(frame)) break;
        ++capture.frames;
        if (!FeedAllAudio(capture, false)) break;
        capture.progress.Frames(capture.frames);
        {
            std::lock_guard<std::mutex> lock(capture.mutex);
            capture.head = (capture.head + 1) % kQueuedFrames;
            --capture.queued;
        }
        capture.changed.notify_all();
    }
    FailCapture(capture, FileFailure(capture));
}

void FreeSlots(Capture& capture) {
    for (AVFrame*& frame : capture.slots) av_frame_free(&frame);
    capture.slots.clear();
}

// Makes the ring's pictures and starts the encoding thread.
bool StartEncoding(Capture& capture, std::string* error) {
    capture.slots.assign(kQueuedFrames, nullptr);
    if (capture.video != nullptr) {
        for (AVFrame*& frame : capture.slots) {
            frame = capture.video->NewVideoFrame();
            if (frame == nullptr) {
                FreeSlots(capture);
                *error = "out of memory";
                return false;
            }
        }
    }
    capture.head = capture.queued = 0;
    capture.ending = capture.failed = false;
    capture.encoding = std::thread(EncodeQueued, std::ref(capture));
    return true;
}

}  // namespace

bool Begin(const Settings& settings, int fps, int endTime, std::string* error) {
    Capture& capture = State();
    if (!CheckSettings(settings, error)) return false;
    av_log_set_level(AV_LOG_QUIET);  // every failure is reported in our own one line
    capture.settings = settings;
    capture.fps = fps;
    capture.scale = settings.scale != 0 ? settings.scale : settings.lossless ? 1 : 4;
    if (settings.from >= endTime) {
        *error = "no frame to capture: the show ends at " + std::to_string(endTime) +
                 ", not after --from " + std::to_string(settings.from);
        return false;
    }
    int end = settings.to >= 0 ? std::min(settings.to, endTime) : endTime;
    int64_t expected =
        std::max<int64_t>(0, FlipsBefore(end, fps) - FlipsBefore(settings.from, fps));
    capture.expected = expected;
    capture.progress.Start(stderr, expected);
    if (!MakePixelTables(&capture.tables, error) || !DecodeMusic(capture, error) ||
        !OpenOutputs(capture, error)) {
        capture.video.reset();
        capture.wav.reset();
        return false;
    }
    if (!StartEncoding(capture, error)) {
        capture.video.reset();
        capture.wav.reset();
        return false;
    }
    capture.begun = true;
    capture.started = std::chrono::steady_clock::now();
    std::string what = !settings.videoPath.empty() ? settings.videoPath : settings.wavPath;
    if (!settings.videoPath.empty() && !settings.wavPath.empty())
        what += " and " + settings.wavPath;
    capture.progress.Step("writing " + what + ", about " + std::to_string(expected) + " frames");
    return true;
}

void Frame(const uint16_t* pixels, int width, int height, int pitch, int64_t flip, int t) {
    Capture& capture = State();
    if (!capture.begun) return;
    if (t < capture.settings.from || (capture.settings.to >= 0 && t >= capture.settings.to)) return;
    if (width != kWidth || height != kHeight) {
        FailCapture(capture, "a frame of " + std::to_string(width) + "x" + std::to_string(height) +
                                 " pixels; the capture takes 320x240");
        return;
    }
    int slot;
    {
        std::unique_lock<std::mutex> lock(capture.mutex);
        capture.changed.wait(lock,
                             [&] { return capture.failed || capture.queued < kQueuedFrames; });
        if (capture.failed) return;
        slot = (capture.head + capture.queued) % kQueuedFrames;
    }
    if (capture.firstFlip < 0) capture.firstFlip = flip;
    if (AVFrame* frame = capture.slots[slot]; frame != nullptr) {
        // The encoder may still hold the picture it was last given: then this makes a new one.
        if (av_frame_make_writable(frame) < 0) {
            FailCapture(capture, "out of memory");
            return;
        }
        if (capture.settings.lossless) {
            FillBgr0(capture.tables, pixels, pitch, capture.scale, frame);
        } else {
            FillYuv420(capture.tables, pixels, pitch, capture.scale, frame);
        }
    }
    {
        std::lock_guard<std::mutex> lock(capture.mutex);
        ++capture.queued;
    }
    capture.changed.notify_all();
}

bool Finish(std::string* error) {
    Capture& capture = State();
    capture.StopEncoding();
    FreeSlots(capture);
    capture.progress.Close();
    if (!capture.begun) {
        *error = "capture was not started";
        return false;
    }
    capture.begun = false;
    if (!capture.failed && capture.frames == 0) {
        FailCapture(capture, "no frame was shown in the stretch to capture; nothing written");
    }
    if (!capture.failed && !FeedAllAudio(capture, true)) FailCapture(capture, FileFailure(capture));
    OutputFile* files[] = {capture.video.get(), capture.wav.get()};
    std::string failure;
    for (OutputFile* file : files) {
        if (file != nullptr && !capture.failed && !file->Complete(&failure)) {
            FailCapture(capture, failure);
        }
    }
    std::vector<std::string> committed;
    for (OutputFile* file : files) {
        if (file == nullptr || capture.failed) continue;
        if (file->Commit(&failure)) {
            committed.push_back(file->Target());
        } else {
            FailCapture(capture, failure);
            // All or nothing: the files written so far go too.
            for (const std::string& path : committed) unlink(path.c_str());
        }
    }
    capture.video.reset();  // removes what a failure left behind
    capture.wav.reset();
    if (capture.failed) {
        *error = capture.failure;
        return false;
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - capture.started).count();
    char done[160];
    std::snprintf(done, sizeof done, "%lld frames, %.2f s of sound, in %.1f s",
                  (long long)capture.frames,
                  (double)(SampleOfFlip(capture.firstFlip + capture.frames, capture.fps) -
                           SampleOfFlip(capture.firstFlip, capture.fps)) /
                      kSampleRate,
                  seconds);
    capture.progress.Step(std::string("done: ") + done);
    return true;
}

}  // namespace capture
