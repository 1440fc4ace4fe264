// Runs a fuzz target over saved inputs without libFuzzer, so any compiler
// can check that the corpus still goes through cleanly.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

bool replay(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
        return false;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::fprintf(stderr, "replaying %s (%zu bytes)\n", file.string().c_str(), bytes.size());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(arg, error)) {
            for (const auto &entry : std::filesystem::recursive_directory_iterator(arg))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else if (std::filesystem::is_regular_file(arg, error)) {
            files.push_back(arg);
        } else {
            std::fprintf(stderr, "no such file or directory: %s\n", argv[i]);
            return 2;
        }
    }
    // A missing corpus must not pass as a clean one.
    if (files.empty()) {
        std::fprintf(stderr, "no inputs found\n");
        return 1;
    }
    // The same order on every machine, so a failure replays the same way.
    std::sort(files.begin(), files.end());

    for (const auto &file : files)
        if (!replay(file))
            return 1;
    std::fprintf(stderr, "replayed %zu inputs\n", files.size());
    return 0;
}
