// Where the 320x240 frame goes on a screen or window, and where pictures of it are saved.
#pragma once

#include <string>

namespace hosts {

struct ViewRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The frame's place in an output of `outputWidth` x `outputHeight` real pixels, centred with
// black bars elsewhere: as large as fits at 4:3 (sizes rounded down), or with `integerScale` the
// largest whole multiple of 320x240 that fits. An output smaller than one frame gets the 4:3 fit
// in both modes; an empty output gets an empty rectangle.
ViewRect FrameView(int outputWidth, int outputHeight, bool integerScale);

// Creates, empty, the first of `prefix`-001.png, `prefix`-002.png, ... (more digits past 999)
// that does not exist in `folder`, never replacing a file. Returns its path, or "" with the
// reason in `error`.
std::string CreateNextPicture(const std::string& folder, const std::string& prefix,
                              std::string* error);

}  // namespace hosts
