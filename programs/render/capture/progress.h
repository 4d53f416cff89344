// Progress of a long capture on stderr: on a terminal one line rewritten in place, otherwise a
// plain line per step (each tenth of the frames).
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace capture {

class Progress {
  public:
    // `total` frames are expected (an estimate; 0 when unknown).
    void Start(FILE* out, int64_t total);
    // A plain step ("decoding the music"), on a line of its own.
    void Step(const std::string& text);
    // `done` frames are written.
    void Frames(int64_t done);
    // Ends the in-place line, if any, so that what follows starts on a fresh line.
    void Close();

  private:
    using Clock = std::chrono::steady_clock;
    std::string Line(int64_t done) const;

    FILE* out_ = nullptr;
    bool terminal_ = false;
    bool lineOpen_ = false;
    int64_t total_ = 0;
    int64_t done_ = 0;
    int lastTenth_ = 0;
    Clock::time_point start_;
    Clock::time_point lastDraw_;
};

}  // namespace capture
