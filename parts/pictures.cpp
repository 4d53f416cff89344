// Loading the effects' pictures through a part's own loader, and the key colour of a sprite.
#include "parts/pictures.h"

namespace pictures {

Image* Load(TgaImage*& loader, int32_t id) {
    loader = new TgaImage();
    loader->LoadResource(id);
    Image* image = new Image(loader->width, loader->height, 16);
    image->ConvertFrom(*loader, loader->palette);
    delete loader;
    loader = nullptr;
    return image;
}

void LoadInto(TgaImage*& loader, int32_t id, Image& target) {
    loader = new TgaImage();
    loader->LoadResource(id);
    target.ConvertFrom(*loader, loader->palette);
    delete loader;
    loader = nullptr;
}

uint16_t FirstPixel(const Image* image) {
    if (image == nullptr || image->pixels == nullptr || image->width <= 0 || image->height <= 0)
        return 0;
    return *reinterpret_cast<const uint16_t*>(image->pixels);
}

}  // namespace pictures
