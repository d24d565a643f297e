#include "render/texture.h"

#include <GL/gl.h>

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

bool Texture::loadImpl(const char*, int, int, bool, bool) {
    release();
    return false;
}
