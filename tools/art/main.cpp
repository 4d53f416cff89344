// morvanite-art-gen: draws every picture of the show and the icon into a folder.
#include <omp.h>

#include <cstdio>
#include <string>

#include "pictures.h"
#include "tga_write.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    // One thread, so that the palette search adds its numbers in the same order every time and
    // the files come out byte for byte the same.
    omp_set_num_threads(1);
    const std::string folder = argv[1];
    for (const art::Artwork& a : art::AllArtwork()) {
        const std::string path = folder + "/" + a.file;
        if (!art::WriteFile(path, a.make())) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
