// Saves the bundled example model as a version-10 ZYM file.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "ExampleModel.h"
#include "zy/ExtException.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.zym>\n", argv[0]);
        return 2;
    }
    const char* path = argv[1];
    try {
        example::buildExampleModel()->save(path, 10);
    } catch (const zy::ExtException& e) {
        std::fprintf(stderr, "%s (%s:%d)\n", e.what(), e.file(), e.line());
        return 1;
    }
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    std::printf("%s: %llu bytes\n", path, static_cast<unsigned long long>(error ? 0 : size));
    return 0;
}
