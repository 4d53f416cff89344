// Video capture for morvanite-render: every flipped frame of the headless show, at a constant
// frame rate, with the music as its soundtrack, written to a video file and/or a WAV file.
//
// Two implementations, chosen by the build: FFmpeg's libraries (ffmpeg_capture.cpp) and none
// (no_capture.cpp, for builds without FFmpeg, whose Begin refuses in one line).
#pragma once

#include <cstdint>
#include <string>

namespace capture {

struct Settings {
    std::string videoPath;  // empty: no video
    std::string wavPath;    // empty: no soundtrack file of its own
    bool lossless = false;  // FFV1 with RGB pixels (and FLAC sound) instead of H.264 and AAC
    int scale = 0;          // each frame enlarged this many times; 0: 4, or 1 when lossless
    std::string preset = "veryfast";  // libx264's speed preset
    int crf = 18;                     // libx264's constant rate factor, 0..51
    int from = 0;                     // first script time captured
    int to = -1;                      // script time where the capture stops; -1: the show's end
};

// Checks the settings, opens the outputs under temporary names beside their targets and decodes
// the music. `fps` is the headless clock's rate; `endTime` the script time at which the show will
// end (its last frame has a smaller time), for the progress line. On failure returns false with a
// one-line reason in *error and leaves no file behind.
bool Begin(const Settings& settings, int fps, int endTime, std::string* error);

// One flipped frame: `flip` counts flips from 0, `t` is its script time. Frames before `from`
// are skipped. 16-bit 5-6-5 pixels, `pitch` bytes per row.
void Frame(const uint16_t* pixels, int width, int height, int pitch, int64_t flip, int t);

// Ends the soundtrack where the last captured frame ends, finishes the files and gives them their
// names. False with a one-line reason (and no file left) when anything failed or no frame came.
bool Finish(std::string* error);

}  // namespace capture
