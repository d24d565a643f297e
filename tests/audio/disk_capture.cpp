#include "audio/disk_capture.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

DiskCapture::DiskCapture(std::string file) : file_(std::move(file)) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file_.c_str(), 1);
}

DiskCapture::~DiskCapture() {
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
}

size_t DiskCapture::frames() const {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(file_, error);
    return error ? 0 : bytes / 4;
}

std::vector<int16_t> DiskCapture::samples() const {
    std::ifstream in(file_, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> out(bytes.size() / 4 * 2);
    std::copy_n(bytes.data(), out.size() * 2, reinterpret_cast<char*>(out.data()));
    return out;
}
