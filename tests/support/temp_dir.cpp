// SPDX-License-Identifier: MIT
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

TempDir::TempDir() : path_((std::filesystem::temp_directory_path() / "yuletumble-test-XXXXXX").string()) {
    if (!mkdtemp(path_.data())) throw std::runtime_error("mkdtemp failed");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TempDir::write(const std::string& name, const std::string& bytes) const {
    std::ofstream(file(name), std::ios::binary) << bytes;
}

std::string TempDir::read(const std::string& name) const {
    return {std::istreambuf_iterator<char>(std::ifstream(file(name), std::ios::binary).rdbuf()), {}};
}

bool TempDir::exists(const std::string& name) const { return std::filesystem::exists(file(name)); }
