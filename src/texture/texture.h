// SPDX-License-Identifier: MIT
#pragma once

// An OpenGL texture loaded from a BMP file under data/. Owns one texture object; never copied:
// blocks and other users refer to a Texture by plain pointer.
//
// This header deliberately includes no OpenGL header (GLuint and GLint are unsigned int and int),
// so that the rules can own their block textures without seeing the renderer.
//
// Texture-coordinate convention: t = 0 is the bottom edge of the image, t = 1 its top edge,
// s = 0 the left edge. Images are uploaded top row first and the Application's texture matrix
// maps (s, t) to (s, -t).
class Texture {
public:
    Texture() = default;
    virtual ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Loads `file` into a new texture with a full mipmap chain. Any image SDL can decode is first
    // converted to 24-bit BGR; a file that is not a regular file or cannot be decoded, an empty
    // image, or one whose header claims more than 4096 pixels (or GL_MAX_TEXTURE_SIZE) a side, which
    // is refused before decoding, leaves the texture empty and returns false. The new texture stays
    // bound.
    virtual bool loadMipmapped(const char* file, int minFilter, int magFilter, bool clamp);
    // The same with a single level.
    virtual bool load(const char* file, int minFilter, int magFilter, bool clamp);

    // Binds the texture; an empty texture binds texture 0, so drawing is untextured.
    void bind() const;
    // Deletes the texture object if there is one; a second call does nothing. Needs the OpenGL
    // context the object was made in. Not virtual: each class releases what it owns itself, in its
    // own destructor, so destruction is right whatever a derived class adds.
    void release();

    unsigned int name() const { return name_; }  // the GL texture object; 0 = nothing loaded

private:
    bool loadImpl(const char* file, int minFilter, int magFilter, bool clamp, bool mipmapped);

    unsigned int name_ = 0;  // GLuint texture object, 0 when empty
};
