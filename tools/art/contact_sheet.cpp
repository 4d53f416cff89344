// morvanite-art-sheet: lays every picture of resources/ on one PNG, each shown as the program
// shows it: converted to 16-bit 5-6-5 by truncation, then widened back by bit replication.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "canvas.h"
#include "hosts/common/png_write.h"
#include "ico_read.h"
#include "text.h"
#include "tga_read.h"

namespace {

struct Sheet {
    int width, height;
    std::vector<uint8_t> rgb;
    Sheet(int w, int h) : width(w), height(h), rgb(size_t(w) * h * 3, 0x2E) {}
    void Put(int x, int y, std::array<uint8_t, 3> c) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
        p[0] = c[0], p[1] = c[1], p[2] = c[2];
    }
};

struct Item {
    std::string label;
    int width = 0, height = 0, scale = 1;
    std::vector<std::array<uint8_t, 3>> pixels;  // as shown
    int x = 0, y = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s RESOURCE-FOLDER OUTPUT.png\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    std::ifstream list(folder + "/resources.list");
    std::vector<Item> items;
    std::string line;
    while (std::getline(list, line)) {
        std::istringstream words(line);
        std::string type, id, file;
        if (!(words >> type >> id >> file) || type[0] == '#') continue;
        const std::vector<uint8_t> bytes = art::ReadFileBytes(folder + "/" + file);
        if (bytes.empty()) continue;
        if (type == "TGAFILE") {
            const art::DecodedTga t = art::DecodeTga(bytes);
            Item item;
            item.label = id + (t.error.empty() ? "" : " (" + t.error + ")");
            item.width = t.width;
            item.height = t.height;
            item.scale = t.width <= 40 ? 3 : 1;
            for (const auto& c : t.rgb) item.pixels.push_back(art::From565(art::To565(c)));
            items.push_back(item);
        } else if (type == "ICON") {
            std::string error;
            for (const art::DecodedIcon& icon : art::DecodeIco(bytes, error)) {
                Item item;
                item.label = id + " " + std::to_string(icon.size);
                item.width = item.height = icon.size;
                item.scale = 3;
                for (size_t i = 0; i < icon.index.size(); ++i)
                    item.pixels.push_back(icon.transparent[i]
                                              ? std::array<uint8_t, 3>{0x2E, 0x2E, 0x2E}
                                              : icon.palette[icon.index[i]]);
                items.push_back(item);
            }
        }
    }
    // Shelves of at most 1000 pixels; the tallest picture gets a column of its own on the right.
    const int gap = 10, label = 16, shelfWidth = 1000;
    int x = gap, y = gap, shelf = 0, columnX = shelfWidth + gap;
    int tallest = -1;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].height > 600) tallest = int(i);
    for (size_t i = 0; i < items.size(); ++i) {
        Item& it = items[i];
        if (int(i) == tallest) continue;
        const int w = it.width * it.scale, h = it.height * it.scale + label;
        if (x + w > shelfWidth) {
            x = gap;
            y += shelf + gap;
            shelf = 0;
        }
        it.x = x;
        it.y = y;
        x += w + gap;
        shelf = std::max(shelf, h);
    }
    int height = y + shelf + gap, width = shelfWidth;
    if (tallest >= 0) {
        items[size_t(tallest)].x = columnX;
        items[size_t(tallest)].y = gap;
        width = columnX + items[size_t(tallest)].width + gap;
        height = std::max(height, items[size_t(tallest)].height + label + 2 * gap);
    }
    Sheet sheet(width, height);
    art::Font font("DejaVuSans-Bold.ttf");
    for (const Item& it : items) {
        art::Mask text(width, label);
        font.Draw(text, it.label, 11.0f, float(it.x), 12.0f);
        for (int ty = 0; ty < label; ++ty)
            for (int tx = 0; tx < width; ++tx)
                if (text.at(tx, ty) > 0.4f) sheet.Put(tx, it.y + ty, {230, 230, 230});
        for (int py = 0; py < it.height * it.scale; ++py)
            for (int px = 0; px < it.width * it.scale; ++px)
                sheet.Put(it.x + px, it.y + label + py,
                          it.pixels[size_t(py / it.scale) * it.width + size_t(px / it.scale)]);
    }
    std::string error;
    if (!hosts::WritePng(argv[2], {sheet.rgb.data(), width, height, 3, width * 3}, &error)) {
        std::fprintf(stderr, "cannot write the sheet: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
