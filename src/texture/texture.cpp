// SPDX-License-Identifier: MIT
#include "texture/texture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "files/player_file.h"

#ifndef GL_BGR_EXT
#define GL_BGR_EXT 0x80E0
#endif

namespace {

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Bytes per row of a 24-bit image whose rows are padded to 4 bytes (GL_UNPACK_ALIGNMENT 4).
std::size_t paddedRow(int width) { return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3}; }

// Little-endian masks of a pixel stored as the bytes blue, green, red.
constexpr Uint32 kRedMask = 0x00FF0000, kGreenMask = 0x0000FF00, kBlueMask = 0x000000FF;

bool isBgr24(const SDL_Surface* s) {
    const SDL_PixelFormat* f = s->format;
    return f && f->BitsPerPixel == 24 && f->BytesPerPixel == 3 && !f->palette && f->Rmask == kRedMask &&
           f->Gmask == kGreenMask && f->Bmask == kBlueMask;
}

std::int32_t readLe32(const unsigned char* p) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                     static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

// The largest image the game takes, in either direction: 64 MiB decoded at 4 bytes a pixel. The
// game's own images are far smaller; a file that claims more is damaged or hostile.
constexpr GLint kMaxImageSide = 4096;

// Looks at the BMP header before decoding so that a corrupt size field never makes the decoder
// allocate a huge surface. False when the header claims an empty or oversized image; true when
// it looks plausible or is too short to tell (the decoder then rejects it).
bool headerSizeAcceptable(SDL_RWops* stream, GLint maxSize) {
    unsigned char h[26] = {};
    const int got = SDL_RWread(stream, h, 1, sizeof h);
    SDL_RWseek(stream, 0, RW_SEEK_SET);
    if (got != static_cast<int>(sizeof h) || h[0] != 'B' || h[1] != 'M') return true;
    std::int64_t width = 0, height = 0;
    if (readLe32(h + 14) == 12) {  // OS/2 core header: 16-bit sizes
        width = h[18] | h[19] << 8;
        height = h[20] | h[21] << 8;
    } else {
        width = readLe32(h + 18);
        height = readLe32(h + 22);  // negative for rows stored top-down
    }
    if (height < 0) height = -height;
    return width > 0 && height > 0 && width <= maxSize && height <= maxSize;
}

// Opens `file` for the decoder if it is a regular file, without blocking (a FIFO would block the
// open for ever).
SDL_RWops* openImage(const char* file) {
    const int fd = file ? openRegularFile(file) : -1;
    FILE* f = fd >= 0 ? ::fdopen(fd, "rb") : nullptr;
    if (!f) {
        if (fd >= 0) ::close(fd);
        return nullptr;
    }
    SDL_RWops* stream = SDL_RWFromFP(f, 1);
    if (!stream) std::fclose(f);
    return stream;
}

// Decodes `file` into a surface whose pixels are 24-bit BGR; null when the file cannot be
// opened or decoded, or the image is empty or larger than maxSize in either direction.
SurfacePtr decodeBgr24(const char* file, GLint maxSize) {
    SDL_RWops* stream = openImage(file);
    if (!stream) return nullptr;
    if (!headerSizeAcceptable(stream, maxSize)) {
        SDL_RWclose(stream);
        return nullptr;
    }
    SurfacePtr surface(SDL_LoadBMP_RW(stream, 1));
    if (!surface || !surface->format || !surface->pixels) return nullptr;
    if (surface->w <= 0 || surface->h <= 0 || surface->w > maxSize || surface->h > maxSize) return nullptr;
    if (isBgr24(surface.get())) return surface;

    // Any other layout (palette, 16 or 32 bits, other channel order) is converted; a blank
    // surface of the wanted format lends its pixel format to the conversion.
    SurfacePtr model(SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 24, kRedMask, kGreenMask, kBlueMask, 0));
    if (!model) return nullptr;
    SurfacePtr converted(SDL_ConvertSurface(surface.get(), model->format, SDL_SWSURFACE));
    if (!converted || !converted->pixels || !isBgr24(converted.get()) || converted->w != surface->w ||
        converted->h != surface->h)
        return nullptr;
    return converted;
}

}  // namespace

Texture::~Texture() { release(); }

bool Texture::loadMipmapped(const char* file, int minFilter, int magFilter, bool clamp) {
    return loadImpl(file, minFilter, magFilter, clamp, true);
}

bool Texture::load(const char* file, int minFilter, int magFilter, bool clamp) {
    return loadImpl(file, minFilter, magFilter, clamp, false);
}

void Texture::bind() const { glBindTexture(GL_TEXTURE_2D, name_); }

void Texture::release() {
    if (name_ != 0) {
        glDeleteTextures(1, &name_);
        name_ = 0;
    }
}

bool Texture::loadImpl(const char* file, int minFilter, int magFilter, bool clamp, bool mipmapped) {
    release();  // even a failed load leaves the object empty

    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    SurfacePtr surface = decodeBgr24(file, std::min(maxSize, kMaxImageSide));
    if (!surface) return false;

    const int width = surface->w, height = surface->h;
    const std::size_t row = paddedRow(width);
    // OpenGL reads rows of exactly `row` bytes; a surface with any other pitch is repacked.
    std::vector<unsigned char> repacked;
    const void* pixels = surface->pixels;
    if (static_cast<std::size_t>(surface->pitch) != row) {
        if (surface->pitch < width * 3) return false;
        repacked.assign(row * static_cast<std::size_t>(height), 0);
        const auto* src = static_cast<const unsigned char*>(surface->pixels);
        for (int y = 0; y < height; ++y)
            std::memcpy(repacked.data() + row * y, src + static_cast<std::size_t>(surface->pitch) * y,
                        static_cast<std::size_t>(width) * 3);
        pixels = repacked.data();
    }

    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGenTextures(1, &name_);
    glBindTexture(GL_TEXTURE_2D, name_);
    if (clamp) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, 33071);  // GL_CLAMP_TO_EDGE
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, 33071);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    if (mipmapped)
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_BGR_EXT, GL_UNSIGNED_BYTE, pixels);
    else
        glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE, pixels);
    return true;
}
