#pragma once
// Scratch directories and whole-file reads for tests that save models.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace testing_files {

// A fresh empty directory, removed with its contents at the end of the test.
class ScratchDir {
public:
    ScratchDir()
    {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::path(::testing::TempDir()) /
                ("unimodel-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() { std::filesystem::remove_all(path_); }

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Every entry of the directory, temporaries included.
    size_t entryCount() const
    {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                                 std::filesystem::directory_iterator()));
    }

private:
    std::filesystem::path path_;
};

inline std::vector<uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

} // namespace testing_files
