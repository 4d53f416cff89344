// The capture's progress line.
#include "programs/render/capture/progress.h"

#include <unistd.h>

#include <algorithm>

namespace capture {

void Progress::Start(FILE* out, int64_t total) {
    out_ = out;
    terminal_ = isatty(fileno(out)) != 0;
    total_ = total;
    lastTenth_ = 0;
    start_ = lastDraw_ = Clock::now();
}

void Progress::Step(const std::string& text) {
    if (out_ == nullptr) return;
    Close();
    std::fprintf(out_, "capture: %s\n", text.c_str());
    std::fflush(out_);
}

std::string Progress::Line(int64_t done) const {
    double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    double speed = seconds > 0 ? (double)done / seconds : 0;
    char text[160];
    int length = std::snprintf(text, sizeof text, "capture: %lld/%lld frames, %.1f frames/s",
                               (long long)done, (long long)total_, speed);
    if (speed > 0 && total_ > done && length > 0 && length < (int)sizeof text) {
        long left = (long)((double)(total_ - done) / speed + 0.5);
        std::snprintf(text + length, sizeof text - length, ", %ld:%02ld left", left / 60,
                      left % 60);
    }
    return text;
}

void Progress::Frames(int64_t done) {
    if (out_ == nullptr) return;
    done_ = done;
    if (terminal_) {
        Clock::time_point now = Clock::now();
        if (lineOpen_ && now - lastDraw_ < std::chrono::milliseconds(250)) return;
        lastDraw_ = now;
        // \033[K clears what a longer earlier line left on the right.
        std::fprintf(out_, "\r%s\033[K", Line(done).c_str());
        std::fflush(out_);
        lineOpen_ = true;
        return;
    }
    if (total_ <= 0) return;
    int tenth = (int)std::min<int64_t>(10, done * 10 / total_);
    if (tenth <= lastTenth_) return;
    lastTenth_ = tenth;
    std::fprintf(out_, "%s\n", Line(done).c_str());
    std::fflush(out_);
}

void Progress::Close() {
    if (out_ == nullptr || !lineOpen_) return;
    std::fprintf(out_, "\r%s\033[K\n", Line(done_).c_str());
    std::fflush(out_);
    lineOpen_ = false;
}

}  // namespace capture
