// SPDX-License-Identifier: MIT
#include "mp3_encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <memory>

namespace {

struct LameDeleter {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

}  // namespace

std::vector<uint8_t> encodeMp3(const Mixdown& mix, int kilobitsPerSecond) {
    std::unique_ptr<lame_global_flags, LameDeleter> lame(lame_init());
    if (!lame) return {};
    lame_set_in_samplerate(lame.get(), Mixdown::kRate);
    lame_set_out_samplerate(lame.get(), Mixdown::kRate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_brate(lame.get(), kilobitsPerSecond);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_quality(lame.get(), 2);  // slow, careful encoding
    lame_set_bWriteVbrTag(lame.get(), 1);
    if (lame_init_params(lame.get()) < 0) return {};

    std::vector<uint8_t> out;
    const size_t chunk = 8192;
    std::vector<unsigned char> buffer(chunk * 5 / 4 + 7200);
    for (size_t at = 0; at < mix.frames(); at += chunk) {
        const int n = static_cast<int>(std::min(chunk, mix.frames() - at));
        const int got = lame_encode_buffer_ieee_float(lame.get(), mix.left().data() + at, mix.right().data() + at, n,
                                                      buffer.data(), static_cast<int>(buffer.size()));
        if (got < 0) return {};
        out.insert(out.end(), buffer.begin(), buffer.begin() + got);
    }
    const int got = lame_encode_flush(lame.get(), buffer.data(), static_cast<int>(buffer.size()));
    if (got < 0) return {};
    out.insert(out.end(), buffer.begin(), buffer.begin() + got);

    // The information tag can only be written once the whole stream is known; it replaces the
    // placeholder frame LAME put first.
    std::vector<unsigned char> tag(8192);
    const size_t tagSize = lame_get_lametag_frame(lame.get(), tag.data(), tag.size());
    if (tagSize == 0 || tagSize > out.size()) return {};
    std::copy(tag.begin(), tag.begin() + static_cast<long>(tagSize), out.begin());
    return out;
}
