// Writes the music fuzz target's seed corpus: a few frames of MPEG audio in each form the decoder
// meets (the show's own, other rates and layers of channels, a Xing header, an ID3v2 tag), and
// the damage it must survive (a frame cut short, junk before the first frame).
// usage: morvanite-music-seeds DIR
#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "mp3_encode.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Form {
    int rate;
    int channels;
    int kbps;  // 0: variable bit rate with a Xing header
};

struct LameDeleter {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

// `samples` per channel of a tone, encoded in `form`; an empty result when the encoder refuses.
Bytes Encode(const Form& form, int samples, const char* title = nullptr) {
    std::unique_ptr<lame_global_flags, LameDeleter> lame(lame_init());
    if (!lame) return {};
    lame_global_flags* flags = lame.get();
    lame_set_in_samplerate(flags, form.rate);
    lame_set_out_samplerate(flags, form.rate);
    lame_set_num_channels(flags, form.channels);
    lame_set_mode(flags, form.channels == 1 ? MONO : JOINT_STEREO);
    if (form.kbps > 0) {
        lame_set_VBR(flags, vbr_off);
        lame_set_brate(flags, form.kbps);
        lame_set_bWriteVbrTag(flags, 0);
    } else {
        lame_set_VBR(flags, vbr_default);
        lame_set_VBR_quality(flags, 9);
        lame_set_bWriteVbrTag(flags, 1);
    }
    lame_set_write_id3tag_automatic(flags, 0);
    if (title != nullptr) {
        id3tag_init(flags);
        id3tag_add_v2(flags);
        id3tag_v2_only(flags);
        id3tag_set_title(flags, title);
    }
    if (lame_init_params(flags) < 0) return {};

    std::vector<short> pcm(static_cast<size_t>(samples) * form.channels);
    for (int i = 0; i < samples; ++i) {
        const short v = static_cast<short>(std::lround(6000 * std::sin(0.05 * i)));
        for (int c = 0; c < form.channels; ++c) pcm[static_cast<size_t>(i) * form.channels + c] = v;
    }
    Bytes out(static_cast<size_t>(samples) * 5 / 4 + 7200 + 1024);
    int written = 0;
    if (title != nullptr) {
        written = static_cast<int>(lame_get_id3v2_tag(flags, out.data(), out.size()));
    }
    const int encoded =
        form.channels == 1
            ? lame_encode_buffer(flags, pcm.data(), pcm.data(), samples, out.data() + written,
                                 static_cast<int>(out.size()) - written)
            : lame_encode_buffer_interleaved(flags, pcm.data(), samples, out.data() + written,
                                             static_cast<int>(out.size()) - written);
    if (encoded < 0) return {};
    written += encoded;
    const int flushed =
        lame_encode_flush(flags, out.data() + written, static_cast<int>(out.size()) - written);
    if (flushed < 0) return {};
    written += flushed;
    out.resize(static_cast<size_t>(written));
    if (form.kbps == 0) {
        // The Xing header frame is written last, over the stream's first frame.
        Bytes header(out.size());
        const size_t size = lame_get_lametag_frame(flags, header.data(), header.size());
        if (size == 0 || size > out.size()) return {};
        std::copy(header.begin(), header.begin() + static_cast<long>(size), out.begin());
    }
    return out;
}

bool Write(const std::string& path, const Bytes& bytes) {
    if (bytes.empty()) {
        std::fprintf(stderr, "morvanite-music-seeds: nothing encoded for %s\n", path.c_str());
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: morvanite-music-seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    // The show's own form: MPEG-1 Layer III, 44.1 kHz joint stereo at 128 kbit/s, two frames.
    const Bytes show = mp3enc::EncodeTone(1152);
    Bytes cut(show.begin(), show.begin() + static_cast<long>(show.size() * 2 / 3));
    Bytes junk = {'R', 'I', 'F', 'F', 0xFF, 0xFB, 0x00, 0x00, 0xFF, 0xE0, 0x13, 0x37};
    junk.insert(junk.end(), show.begin(), show.end());

    bool ok = Write(dir + "/show-form.mp3", show) && Write(dir + "/cut-mid-frame.mp3", cut) &&
              Write(dir + "/junk-before.mp3", junk);
    // MPEG-2 and 2.5 (lower rates, resampled), mono, 48 kHz, a Xing header and an ID3v2 tag.
    ok = Write(dir + "/mpeg2-22k-mono.mp3", Encode({22050, 1, 32}, 1152)) && ok;
    ok = Write(dir + "/mpeg25-8k-mono.mp3", Encode({8000, 1, 8}, 1152)) && ok;
    ok = Write(dir + "/mpeg1-48k-stereo.mp3", Encode({48000, 2, 64}, 1152)) && ok;
    ok = Write(dir + "/xing-vbr-32k.mp3", Encode({32000, 2, 0}, 1152)) && ok;
    ok = Write(dir + "/id3v2-tag.mp3", Encode({44100, 1, 32}, 1152, "Morvanite")) && ok;
    return ok ? 0 : 1;
}
