// Runs a fuzz target over files instead of under libFuzzer: every file named
// on the command line, and every file inside every folder named there, is
// passed once to LLVMFuzzerTestOneInput. Used by CTest to replay the seed
// corpora and the inputs of past crashes with any compiler.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    // A fixed order makes a failure reproducible from the log.
    std::set<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!fs::is_directory(argv[i]))
            inputs.insert(argv[i]);
        else
            for (const auto& entry : fs::recursive_directory_iterator(argv[i]))
                if (entry.is_regular_file())
                    inputs.insert(entry.path());
    }
    for (const fs::path& path : inputs) {
        std::ifstream file(path, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        // Printed before the run, so the input that crashes is the last line.
        std::printf("%s (%zu bytes)\n", path.c_str(), bytes.size());
        std::fflush(stdout);
        if (!file.is_open()) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        // A heap block of exactly the input's size (one byte for an empty
        // input), so reads past its end are caught.
        std::vector<std::uint8_t> exact(std::max<std::size_t>(bytes.size(), 1));
        std::copy(bytes.begin(), bytes.end(), exact.begin());
        LLVMFuzzerTestOneInput(exact.data(), bytes.size());
    }
    std::printf("replayed %zu inputs\n", inputs.size());
    return inputs.empty() ? 1 : 0;
}
