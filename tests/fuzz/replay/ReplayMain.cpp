// Runs a fuzz target over every file of the folders and files it is given,
// without libFuzzer: the corpus replayed by the ordinary test build, under
// its sanitizers. A target that aborts ends the run with the file's name.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int Replay(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::fprintf(stderr, "%s\n", file.c_str());
    // The copy gives the sanitizers the input's exact bounds.
    std::vector<uint8_t> data(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(data.empty() ? nullptr : data.data(), data.size());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    int n = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg(argv[i]);
        if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg))
                if (entry.is_regular_file())
                    n += Replay(entry.path());
        } else {
            n += Replay(arg);
        }
    }
    std::printf("replayed %d inputs\n", n);
    return n > 0 ? 0 : 1;  // an empty corpus is a mistake, not a pass
}
