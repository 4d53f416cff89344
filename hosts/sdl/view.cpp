// Frame placement arithmetic and numbered picture files.
#include "hosts/sdl/view.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace hosts {
namespace {

constexpr int kFrameWidth = 320;
constexpr int kFrameHeight = 240;

}  // namespace

ViewRect FrameView(int outputWidth, int outputHeight, bool integerScale) {
    if (outputWidth <= 0 || outputHeight <= 0) return ViewRect{};
    ViewRect view;
    int factor = std::min(outputWidth / kFrameWidth, outputHeight / kFrameHeight);
    if (integerScale && factor >= 1) {
        view.width = kFrameWidth * factor;
        view.height = kFrameHeight * factor;
    } else if (int64_t(outputWidth) * 3 <= int64_t(outputHeight) * 4) {
        view.width = outputWidth;  // as wide as the output: bars above and below
        view.height = int(int64_t(outputWidth) * 3 / 4);
    } else {
        view.height = outputHeight;  // as tall as the output: bars left and right
        view.width = int(int64_t(outputHeight) * 4 / 3);
    }
    view.x = (outputWidth - view.width) / 2;
    view.y = (outputHeight - view.height) / 2;
    return view;
}

std::string CreateNextPicture(const std::string& folder, const std::string& prefix,
                              std::string* error) {
    for (int number = 1; number < 1000000; ++number) {
        char name[32];
        std::snprintf(name, sizeof name, "-%03d.png", number);
        std::string path = folder + "/" + prefix + name;
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            close(fd);
            return path;
        }
        if (errno != EEXIST) {
            *error = path + ": " + std::strerror(errno);
            return "";
        }
    }
    *error = folder + ": no free number left for " + prefix + " pictures";
    return "";
}

}  // namespace hosts
