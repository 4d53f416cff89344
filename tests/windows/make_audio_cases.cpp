// Writes the cases for the Windows audio check: MP3 streams and what the Linux decoder
// (libmpg123) makes of them. Usage: make-audio-cases OUT_DIR MUSIC.mp3
// OUT_DIR gets NAME.mp3 and NAME.pcm per case, and cases.txt with one line "NAME STATUS" each
// (STATUS: the DecodeStatus number).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <lame/lame.h>

#include "winapi/bass/decoder.h"
#include "tools/music/mp3_encode.h"

namespace {

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

std::vector<uint8_t> Prefixed(std::vector<uint8_t> prefix, const std::vector<uint8_t>& mp3) {
    prefix.insert(prefix.end(), mp3.begin(), mp3.end());
    return prefix;
}

// One second of a 440 Hz tone as MPEG-2 Layer III, 22050 Hz mono at 64 kbit/s: a stream the
// decoders must resample and spread to stereo.
std::vector<uint8_t> EncodeMono22050() {
    lame_global_flags* lame = lame_init();
    lame_set_in_samplerate(lame, 22050);
    lame_set_out_samplerate(lame, 22050);
    lame_set_num_channels(lame, 1);
    lame_set_mode(lame, MONO);
    lame_set_brate(lame, 64);
    lame_set_bWriteVbrTag(lame, 0);
    lame_set_write_id3tag_automatic(lame, 0);
    std::vector<uint8_t> out;
    if (lame_init_params(lame) >= 0) {
        std::vector<short> pcm(22050);
        for (size_t n = 0; n < pcm.size(); ++n) {
            pcm[n] = short(std::lround(9000 * std::sin(2 * M_PI * 440 * n / 22050.0)));
        }
        std::vector<unsigned char> buffer(pcm.size() * 5 / 4 + 7200);
        int written = lame_encode_buffer(lame, pcm.data(), pcm.data(), int(pcm.size()),
                                         buffer.data(), int(buffer.size()));
        int flushed = written < 0 ? -1
                                  : lame_encode_flush(lame, buffer.data() + written,
                                                      int(buffer.size()) - written);
        if (flushed >= 0) out.assign(buffer.begin(), buffer.begin() + written + flushed);
    }
    lame_close(lame);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUT_DIR MUSIC.mp3\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    std::ifstream musicFile(argv[2], std::ios::binary);
    std::vector<uint8_t> music((std::istreambuf_iterator<char>(musicFile)), {});
    if (music.empty()) {
        std::fprintf(stderr, "%s: can't read it\n", argv[2]);
        return 1;
    }

    // Left a 1 kHz sine, right silent: a swap of the channels or a shift shows at once.
    std::vector<int16_t> leftOnly(44100 * 2, 0);
    for (size_t n = 0; n < 44100; ++n) {
        leftOnly[n * 2] = int16_t(std::lround(12000 * std::sin(2 * M_PI * 1000 * n / 44100.0)));
    }
    const std::vector<uint8_t> tone = mp3enc::EncodeTone(44100);
    std::vector<uint8_t> id3 = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 10};
    id3.resize(20, 0);
    // A first frame holding an encoder's Info tag (no fields) after empty side information.
    std::vector<uint8_t> infoFrame = tone;
    const uint8_t info[8] = {'I', 'n', 'f', 'o', 0, 0, 0, 0};
    std::fill(infoFrame.begin() + 4, infoFrame.begin() + 36, 0);
    std::copy(info, info + 8, infoFrame.begin() + 36);
    const std::string text = "Morvanite. This is a text, not a stream. ";
    std::vector<uint8_t> words;
    for (int i = 0; i < 200; ++i) words.insert(words.end(), text.begin(), text.end());

    const struct {
        const char* name;
        std::vector<uint8_t> mp3;
    } cases[] = {
        {"tone-1152", mp3enc::EncodeTone(1152)},
        {"tone-44100", tone},
        {"tone-100000-loud", mp3enc::EncodeTone(100000, 1000.0, 32000)},
        {"left-only", mp3enc::EncodeStereo(leftOnly)},
        {"id3-tagged", Prefixed(id3, tone)},
        {"junk-first", Prefixed(std::vector<uint8_t>(300, 'a'), tone)},
        {"info-frame", infoFrame},
        {"mono-22050", EncodeMono22050()},
        {"text", words},
        {"zeros", std::vector<uint8_t>(20000, 0)},
        {"music", music},
    };
    std::string list;
    for (const auto& c : cases) {
        std::vector<uint8_t> pcm;
        int status = static_cast<int>(audio::DecodeMpegAudio(c.mp3, &pcm));
        if (!WriteFile(dir + "/" + c.name + ".mp3", c.mp3) ||
            !WriteFile(dir + "/" + c.name + ".pcm", pcm)) {
            std::fprintf(stderr, "can't write the case %s in %s\n", c.name, dir.c_str());
            return 1;
        }
        list += std::string(c.name) + " " + std::to_string(status) + "\n";
    }
    std::vector<uint8_t> listBytes(list.begin(), list.end());
    return WriteFile(dir + "/cases.txt", listBytes) ? 0 : 1;
}
