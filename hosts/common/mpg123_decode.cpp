// MPEG audio decoder on libmpg123, reading the caller's memory through replaced I/O callbacks.
#include "winapi/bass/decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

namespace audio {
namespace {

// The stream's bytes as a seekable file for libmpg123: reads and seeks stay inside the span.
struct MemoryFile {
    const uint8_t* data;
    size_t size;
    size_t position;
};

mpg123_ssize_t ReadMemory(void* handle, void* buffer, size_t count) {
    auto* file = static_cast<MemoryFile*>(handle);
    size_t left = file->position < file->size ? file->size - file->position : 0;
    size_t n = std::min(count, left);
    if (n > 0) std::memcpy(buffer, file->data + file->position, n);
    file->position += n;
    return static_cast<mpg123_ssize_t>(n);
}

off_t SeekMemory(void* handle, off_t offset, int whence) {
    auto* file = static_cast<MemoryFile*>(handle);
    off_t base = 0;
    if (whence == SEEK_CUR) {
        base = static_cast<off_t>(file->position);
    } else if (whence == SEEK_END) {
        base = static_cast<off_t>(file->size);
    } else if (whence != SEEK_SET) {
        errno = EINVAL;
        return -1;
    }
    off_t target = base + offset;
    if (target < 0 || target > static_cast<off_t>(file->size)) {
        errno = EINVAL;
        return -1;
    }
    file->position = static_cast<size_t>(target);
    return target;
}

struct HandleDeleter {
    void operator()(mpg123_handle* handle) const {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};
using Handle = std::unique_ptr<mpg123_handle, HandleDeleter>;

}  // namespace

DecodeStatus DecodeMpegAudio(std::span<const uint8_t> data, std::vector<uint8_t>* pcm) {
    int error = MPG123_OK;
    Handle handle(mpg123_new(nullptr, &error));
    if (!handle) return DecodeStatus::kDecoderError;
    mpg123_handle* mh = handle.get();

    // Quiet, no gapless trimming, one fixed output format.
    if (mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0) != MPG123_OK ||
        mpg123_param(mh, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0) != MPG123_OK ||
        mpg123_format_none(mh) != MPG123_OK ||
        mpg123_format(mh, 44100, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK) {
        return DecodeStatus::kDecoderError;
    }

    MemoryFile file{data.data(), data.size(), 0};
    if (mpg123_replace_reader_handle(mh, ReadMemory, SeekMemory, nullptr) != MPG123_OK ||
        mpg123_open_handle(mh, &file) != MPG123_OK) {
        return DecodeStatus::kDecoderError;
    }

    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK) {
        return DecodeStatus::kNotMpeg;
    }
    if (rate != 44100 || channels != MPG123_STEREO || encoding != MPG123_ENC_SIGNED_16) {
        return DecodeStatus::kUnsupported;
    }

    size_t start = pcm->size();
    try {
        off_t expected = mpg123_length(mh);
        if (expected > 0 && expected < (off_t(1) << 30)) {
            pcm->reserve(start + static_cast<size_t>(expected) * 4);
        }
        constexpr size_t kChunk = 1 << 16;
        for (;;) {
            size_t used = pcm->size();
            pcm->resize(used + kChunk);
            size_t done = 0;
            int result = mpg123_read(mh, pcm->data() + used, kChunk, &done);
            pcm->resize(used + done);
            if (result == MPG123_OK || result == MPG123_NEW_FORMAT) continue;
            break;  // MPG123_DONE, or damage the decoder can't get past: keep what we have
        }
    } catch (const std::bad_alloc&) {
        pcm->resize(start);
        pcm->shrink_to_fit();
        return DecodeStatus::kNoMemory;
    }
    return DecodeStatus::kOk;
}

}  // namespace audio
