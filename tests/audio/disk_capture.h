#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Sends SDL's audio output to a raw file through its "disk" driver (signed 16-bit stereo, written
// at about real-time pace). Set up before the sound layer starts; undone on destruction.
class DiskCapture {
public:
    explicit DiskCapture(std::string file);
    ~DiskCapture();
    DiskCapture(const DiskCapture&) = delete;
    DiskCapture& operator=(const DiskCapture&) = delete;

    // Stereo frames written so far.
    size_t frames() const;
    // Everything written so far, interleaved left, right.
    std::vector<int16_t> samples() const;

private:
    std::string file_;
};
